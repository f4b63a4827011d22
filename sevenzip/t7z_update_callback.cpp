#include "sevenzip/t7z_update_callback.h"

#include "platform/error.h"
#include "sevenzip/stream_view.h"
#include "sevenzip/t7z_stream.h"

namespace coffer::sevenzip {

T7zUpdateCallback::T7zUpdateCallback(std::vector<PreparedItem> items, std::string password,
                                     const WriteProgress& progress, std::shared_ptr<FailureSlot> slot)
    : items_(std::move(items)), password_(std::move(password)), progress_(progress), slot_(std::move(slot)) {}

HRESULT STDMETHODCALLTYPE T7zUpdateCallback::QueryInterface(REFIID iid, void** out) noexcept {
  if (!out) return E_INVALIDARG;
  if (iid == IID_IUnknown || iid == IID_IArchiveUpdateCallback || iid == IID_IProgress)
    *out = static_cast<IArchiveUpdateCallback*>(this);
  else if (iid == IID_ICryptoGetTextPassword2)
    *out = static_cast<ICryptoGetTextPassword2*>(this);
  else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE T7zUpdateCallback::AddRef() noexcept { return ++refs_; }

ULONG STDMETHODCALLTYPE T7zUpdateCallback::Release() noexcept {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT T7zUpdateCallback::Failed() noexcept {
  const HRESULT code = ResultOfCurrentException();
  slot_->Keep(std::current_exception());
  return code;
}

// Progress may come from the library's coder threads; the handler is
// called by one of them at a time.
HRESULT STDMETHODCALLTYPE T7zUpdateCallback::SetTotal(UInt64 total) noexcept {
  std::lock_guard lock(progress_mutex_);
  total_ = total;
  if (!progress_) return S_OK;
  try {
    return progress_(total, 0) ? S_OK : E_ABORT;
  } catch (...) {
    return Failed();
  }
}

HRESULT STDMETHODCALLTYPE T7zUpdateCallback::SetCompleted(const UInt64* value) noexcept {
  if (!value) return S_OK;
  std::lock_guard lock(progress_mutex_);
  if (!progress_) return S_OK;
  try {
    return progress_(total_, *value) ? S_OK : E_ABORT;
  } catch (...) {
    return Failed();
  }
}

HRESULT STDMETHODCALLTYPE T7zUpdateCallback::GetUpdateItemInfo(UInt32 index, Int32* new_data, Int32* new_props,
                                                               UInt32* index_in_archive) noexcept {
  if (index >= items_.size()) return E_INVALIDARG;
  if (new_data) *new_data = 1;
  if (new_props) *new_props = 1;
  if (index_in_archive) *index_in_archive = static_cast<UInt32>(-1);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE T7zUpdateCallback::GetProperty(UInt32 index, PROPID id, PROPVARIANT* value) noexcept {
  if (index >= items_.size() || !value) return E_INVALIDARG;
  const PreparedItem& p = items_[index];
  value->vt = VT_EMPTY;
  switch (id) {
    case kpidPath:
      try {
        value->bstrVal = AllocBstr(Widen(p.item->path));
      } catch (...) {
        return Failed();
      }
      if (!value->bstrVal) return E_OUTOFMEMORY;
      value->vt = VT_BSTR;
      break;
    case kpidIsDir:
      value->vt = VT_BOOL;
      value->boolVal = p.is_folder ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case kpidIsAnti:
      value->vt = VT_BOOL;
      value->boolVal = VARIANT_FALSE;
      break;
    case kpidSize:
      value->vt = VT_UI8;
      value->uhVal.QuadPart = p.size;
      break;
    case kpidMTime:
      value->vt = VT_FILETIME;
      value->filetime = p.mtime;
      break;
    case kpidAttrib:
      value->vt = VT_UI4;
      value->ulVal = p.attributes;
      break;
    default: break;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE T7zUpdateCallback::GetStream(UInt32 index, ISequentialInStream** stream) noexcept {
  if (index >= items_.size() || !stream) return E_INVALIDARG;
  *stream = nullptr;
  const PreparedItem& p = items_[index];
  if (p.is_folder) return S_OK;
  try {
    std::unique_ptr<HostStream> host;
    if (p.item->source.empty())
      host = std::make_unique<BytesStream>(p.item->bytes);
    else
      host = std::make_unique<FileStream>(p.item->source, FileMode::kReadDenyWrite);
    *stream = T7zStream::Create(std::move(host), slot_).Detach()->AsSequentialInStream();
    return S_OK;
  } catch (...) {
    return Failed();
  }
}

HRESULT STDMETHODCALLTYPE T7zUpdateCallback::SetOperationResult(Int32) noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE T7zUpdateCallback::CryptoGetTextPassword2(Int32* defined, BSTR* password) noexcept {
  if (!defined || !password) return E_INVALIDARG;
  *defined = password_.empty() ? 0 : 1;
  *password = nullptr;
  if (password_.empty()) return S_OK;
  try {
    *password = AllocBstr(Widen(password_));
    return *password ? S_OK : E_OUTOFMEMORY;
  } catch (...) {
    return Failed();
  }
}

}  // namespace coffer::sevenzip
