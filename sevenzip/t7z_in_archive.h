#pragma once
// T7zInArchive: the archive reader. It owns the library's IInArchive for
// one archive and is at the same time the object the library calls back
// during open and extract (progress, password, output streams). Outside
// this folder it is only ever seen as I7zReader.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/safe_path.h"
#include "sevenzip/com_ptr.h"
#include "sevenzip/failure_slot.h"
#include "sevenzip/reader.h"
#include "sevenzip/t7z_archive.h"
#include "sevenzip/win_shim.h"

namespace coffer::sevenzip {

class T7zInArchive final : public T7zArchive,
                           public I7zReader,
                           public IArchiveOpenCallback,
                           public IArchiveExtractCallback,
                           public ICryptoGetTextPassword,
                           public IArchiveOpenVolumeCallback,
                           public IArchiveOpenSetSubArchiveName {
 public:
  explicit T7zInArchive(const std::string& module_path);
  ~T7zInArchive() override;

  // The library's handler, created on first use from the format class id.
  IInArchive* EngineArchive();

  // IUnknown and I7zReader: one count serves every interface.
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
  uint32_t AddRefReader() override { return AddRefPlugin(); }
  uint32_t ReleaseReader() override { return ReleasePlugin(); }

  void OpenFromFile(const std::string& path) override;
  void OpenFromStream(HostStream& stream) override;
  void CloseArchive() override;
  uint32_t ItemCount() override;
  std::string ItemPath(uint32_t index) override;
  std::string ItemName(uint32_t index) override;
  int64_t ItemSize(uint32_t index) override;
  bool ItemIsFolder(uint32_t index) override;
  bool ItemIsEncrypted(uint32_t index) override;
  void ExtractItemToStream(uint32_t index, HostStream& stream, bool test) override;
  void ExtractItemList(const uint32_t* indices, uint32_t count, bool test, void* sender,
                       ItemStreamHandler handler) override;
  void ExtractAllWithHandler(bool test, void* sender, ItemStreamHandler handler) override;
  void ExtractAllToFolder(const std::string& folder) override;
  void SetPasswordHandler(void* sender, PasswordHandler handler) override;
  void SetKnownPassword(const std::string& password) override;
  void SetProgressHandler(void* sender, ProgressHandler handler) override;
  void SetFormatClassId(const Guid& id) override { SetFormatClassIdValue(id); }
  Guid FormatClassId() override { return FormatClassIdValue(); }
  void SetRequireEncryption(bool on) override { require_encryption_ = on; }
  std::vector<ItemFailure> LastFailures() override;

  // IProgress, IArchiveExtractCallback
  HRESULT STDMETHODCALLTYPE SetTotal(UInt64 total) noexcept override;
  HRESULT STDMETHODCALLTYPE SetCompleted(const UInt64* value) noexcept override;
  HRESULT STDMETHODCALLTYPE GetStream(UInt32 index, ISequentialOutStream** stream, Int32 ask_mode) noexcept override;
  HRESULT STDMETHODCALLTYPE PrepareOperation(Int32 ask_mode) noexcept override;
  HRESULT STDMETHODCALLTYPE SetOperationResult(Int32 result) noexcept override;
  // ICryptoGetTextPassword
  HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) noexcept override;
  // IArchiveOpenCallback
  HRESULT STDMETHODCALLTYPE SetTotal(const UInt64* files, const UInt64* bytes) noexcept override;
  HRESULT STDMETHODCALLTYPE SetCompleted(const UInt64* files, const UInt64* bytes) noexcept override;
  // IArchiveOpenVolumeCallback
  HRESULT STDMETHODCALLTYPE GetProperty(PROPID id, PROPVARIANT* value) noexcept override;
  HRESULT STDMETHODCALLTYPE GetStream(const wchar_t* name, IInStream** stream) noexcept override;
  // IArchiveOpenSetSubArchiveName
  HRESULT STDMETHODCALLTYPE SetSubArchiveName(const wchar_t* name) noexcept override;

 private:
  void Open(IInStream* stream);
  IInArchive& Opened();
  void CheckIndex(uint32_t index);
  void ItemProperty(uint32_t index, PROPID id, PropValue& value);
  // Runs Extract with this object as callback; the per-call state is set
  // by the caller and emptied by the caller's guard.
  void RunExtract(const uint32_t* indices, uint32_t count, bool test);
  void Record(uint32_t index, Verdict verdict, std::string message);
  // Keeps the exception in flight for the caller and answers a code.
  HRESULT Failed() noexcept;

  EnginePtr<IInArchive> engine_;
  bool opened_ = false;
  uint32_t item_count_ = 0;

  PasswordHandler password_handler_ = nullptr;
  void* password_sender_ = nullptr;
  ProgressHandler progress_handler_ = nullptr;
  void* progress_sender_ = nullptr;
  HostStream* single_target_ = nullptr;
  bool password_known_ = false;
  std::string password_;
  bool sub_archive_ = false;
  std::string sub_archive_name_;
  ItemStreamHandler item_handler_ = nullptr;
  void* item_sender_ = nullptr;
  std::unique_ptr<SafeFolder> extract_folder_;
  bool require_encryption_ = false;
  // Refuses (records and skips) an unencrypted item with data when the
  // reader requires encryption; true when refused.
  bool RefuseUnprotected(uint32_t index);

  // The item the library is working on (GetStream to SetOperationResult).
  uint32_t current_index_ = 0;
  Int32 current_mode_ = NArchive::NExtract::NAskMode::kSkip;
  // An item's output stream was handed out and its verdict has not come.
  bool current_unfinished_ = false;
  // The file made for the current item below the extract-to folder.
  std::string current_file_;
  // Gives the finished file the item's modification time and permissions.
  void RestoreFileMetadata(uint32_t index, const std::string& file);

  // The library may report progress from its coder threads; the handler
  // is called by one of them at a time.
  std::mutex progress_mutex_;
  std::shared_ptr<FailureSlot> slot_ = std::make_shared<FailureSlot>();
  std::mutex failures_mutex_;
  std::vector<ItemFailure> failures_;
  size_t create_failures_ = 0;
};

}  // namespace coffer::sevenzip
