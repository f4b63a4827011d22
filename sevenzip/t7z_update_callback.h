#pragma once
// T7zUpdateCallback: what the library's 7z writer asks while it builds an
// archive: each item's properties and data, the password, and progress.
// Our exceptions wait in the failure slot until UpdateItems has returned.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sevenzip/failure_slot.h"
#include "sevenzip/win_shim.h"
#include "sevenzip/writer.h"

namespace coffer::sevenzip {

// An item as the writer hands it to the library, its disk facts settled.
struct PreparedItem {
  const ArchiveItem* item;
  bool is_folder;
  uint64_t size;
  FILETIME mtime;
  uint32_t attributes;
};

class T7zUpdateCallback final : public IArchiveUpdateCallback, public ICryptoGetTextPassword2 {
 public:
  T7zUpdateCallback(std::vector<PreparedItem> items, std::string password, const WriteProgress& progress,
                    std::shared_ptr<FailureSlot> slot);
  T7zUpdateCallback(const T7zUpdateCallback&) = delete;
  T7zUpdateCallback& operator=(const T7zUpdateCallback&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  HRESULT STDMETHODCALLTYPE SetTotal(UInt64 total) noexcept override;
  HRESULT STDMETHODCALLTYPE SetCompleted(const UInt64* value) noexcept override;
  HRESULT STDMETHODCALLTYPE GetUpdateItemInfo(UInt32 index, Int32* new_data, Int32* new_props,
                                              UInt32* index_in_archive) noexcept override;
  HRESULT STDMETHODCALLTYPE GetProperty(UInt32 index, PROPID id, PROPVARIANT* value) noexcept override;
  HRESULT STDMETHODCALLTYPE GetStream(UInt32 index, ISequentialInStream** stream) noexcept override;
  HRESULT STDMETHODCALLTYPE SetOperationResult(Int32 result) noexcept override;
  HRESULT STDMETHODCALLTYPE CryptoGetTextPassword2(Int32* defined, BSTR* password) noexcept override;

 private:
  ~T7zUpdateCallback() = default;
  HRESULT Failed() noexcept;

  std::vector<PreparedItem> items_;
  std::string password_;
  const WriteProgress& progress_;
  std::mutex progress_mutex_;
  UInt64 total_ = 0;
  std::shared_ptr<FailureSlot> slot_;
  std::atomic<ULONG> refs_{1};
};

}  // namespace coffer::sevenzip
