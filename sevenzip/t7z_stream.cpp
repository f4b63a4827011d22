#include "sevenzip/t7z_stream.h"

namespace coffer::sevenzip {

ComPtr<T7zStream> T7zStream::Create(HostStream* host, StreamOwnership ownership,
                                    std::shared_ptr<FailureSlot> slot) {
  return ComPtr<T7zStream>::Adopt(new T7zStream(host, ownership, std::move(slot)));
}

ComPtr<T7zStream> T7zStream::Create(std::unique_ptr<HostStream> host, std::shared_ptr<FailureSlot> slot) {
  auto stream = Create(host.get(), StreamOwnership::Owned, std::move(slot));
  host.release();
  return stream;
}

T7zStream::T7zStream(HostStream* host, StreamOwnership ownership, std::shared_ptr<FailureSlot> slot)
    : host_(host), ownership_(ownership), slot_(std::move(slot)) {}

T7zStream::~T7zStream() {
  if (ownership_ == StreamOwnership::Owned) delete host_;
}

HRESULT STDMETHODCALLTYPE T7zStream::QueryInterface(REFIID iid, void** out) noexcept {
  if (!out) return E_INVALIDARG;
  if (iid == IID_IUnknown || iid == IID_ISequentialInStream || iid == IID_IInStream)
    *out = static_cast<IInStream*>(this);
  else if (iid == IID_ISequentialOutStream || iid == IID_IOutStream)
    *out = static_cast<IOutStream*>(this);
  else if (iid == IID_IStreamGetSize)
    *out = static_cast<IStreamGetSize*>(this);
  else if (iid == IID_IOutStreamFinish)  // older engines' IOutStreamFlush: same id, same one method
    *out = static_cast<IOutStreamFinish*>(this);
  else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE T7zStream::AddRef() noexcept { return ++refs_; }

ULONG STDMETHODCALLTYPE T7zStream::Release() noexcept {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT T7zStream::Failed() noexcept {
  const HRESULT code = ResultOfCurrentException();
  if (slot_) slot_->Keep(std::current_exception());
  return code;
}

HRESULT STDMETHODCALLTYPE T7zStream::Read(void* data, UInt32 size, UInt32* processed) noexcept {
  if (processed) *processed = 0;
  try {
    const int64_t n = host_->Read(data, size);
    if (processed) *processed = static_cast<UInt32>(n);
    return S_OK;
  } catch (...) {
    return Failed();
  }
}

HRESULT STDMETHODCALLTYPE T7zStream::Write(const void* data, UInt32 size, UInt32* processed) noexcept {
  if (processed) *processed = 0;
  try {
    host_->Write(data, size);
    if (processed) *processed = size;
    return S_OK;
  } catch (...) {
    return Failed();
  }
}

HRESULT STDMETHODCALLTYPE T7zStream::Seek(Int64 offset, UInt32 origin, UInt64* new_position) noexcept {
  if (origin > STREAM_SEEK_END) return STG_E_INVALIDFUNCTION;
  try {
    const int64_t pos = host_->Seek(offset, static_cast<SeekOrigin>(origin));
    if (new_position) *new_position = static_cast<UInt64>(pos);
    return S_OK;
  } catch (...) {
    return Failed();
  }
}

HRESULT STDMETHODCALLTYPE T7zStream::SetSize(UInt64 new_size) noexcept {
  try {
    host_->SetSize(static_cast<int64_t>(new_size));
    return S_OK;
  } catch (...) {
    return Failed();
  }
}

HRESULT STDMETHODCALLTYPE T7zStream::GetSize(UInt64* size) noexcept {
  try {
    const int64_t n = host_->Size();
    if (size) *size = static_cast<UInt64>(n);
    return S_OK;
  } catch (...) {
    return Failed();
  }
}

HRESULT STDMETHODCALLTYPE T7zStream::OutStreamFinish() noexcept { return S_OK; }

}  // namespace coffer::sevenzip
