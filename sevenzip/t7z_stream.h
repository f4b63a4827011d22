#pragma once
// T7zStream: a host stream offered to the library as its stream interfaces
// (sequential and seekable input and output, size, finish). It adds nothing
// of its own: no buffering, no position of its own. A host operation that
// fails gives the library a failure result, never a made-up count; the
// exception itself waits in the failure slot for the caller of the library.
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/stream.h"
#include "sevenzip/com_ptr.h"
#include "sevenzip/failure_slot.h"
#include "sevenzip/win_shim.h"

namespace coffer::sevenzip {

enum class StreamOwnership : uint8_t { Borrowed = 0, Owned = 1 };

class T7zStream final : public IInStream, public IOutStream, public IStreamGetSize, public IOutStreamFinish {
 public:
  // `slot` may be null: failures then only reach the library as codes.
  static ComPtr<T7zStream> Create(HostStream* host, StreamOwnership ownership,
                                  std::shared_ptr<FailureSlot> slot);
  static ComPtr<T7zStream> Create(std::unique_ptr<HostStream> host, std::shared_ptr<FailureSlot> slot);

  T7zStream(const T7zStream&) = delete;
  T7zStream& operator=(const T7zStream&) = delete;

  IInStream* AsInStream() { return this; }
  ISequentialInStream* AsSequentialInStream() { return this; }
  IOutStream* AsOutStream() { return this; }
  ISequentialOutStream* AsSequentialOutStream() { return this; }
  StreamOwnership ownership() const { return ownership_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  HRESULT STDMETHODCALLTYPE Read(void* data, UInt32 size, UInt32* processed) noexcept override;
  HRESULT STDMETHODCALLTYPE Write(const void* data, UInt32 size, UInt32* processed) noexcept override;
  HRESULT STDMETHODCALLTYPE Seek(Int64 offset, UInt32 origin, UInt64* new_position) noexcept override;
  HRESULT STDMETHODCALLTYPE SetSize(UInt64 new_size) noexcept override;
  HRESULT STDMETHODCALLTYPE GetSize(UInt64* size) noexcept override;
  HRESULT STDMETHODCALLTYPE OutStreamFinish() noexcept override;

 private:
  T7zStream(HostStream* host, StreamOwnership ownership, std::shared_ptr<FailureSlot> slot);
  ~T7zStream();
  HRESULT Failed() noexcept;

  HostStream* host_;
  StreamOwnership ownership_;
  std::shared_ptr<FailureSlot> slot_;
  std::atomic<ULONG> refs_{1};
};

}  // namespace coffer::sevenzip
