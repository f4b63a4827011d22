// The reader's side of the library's callbacks. Each answers a result code
// and never lets an exception of ours into the library: it waits in the
// failure slot and is raised again once the library call has returned.
#include "platform/error.h"
#include "platform/file_ops.h"
#include "sevenzip/t7z_in_archive.h"
#include "sevenzip/t7z_stream.h"

namespace coffer::sevenzip {
namespace {

namespace AskMode = NArchive::NExtract::NAskMode;

const char* VerdictText(Int32 result) {
  switch (result) {
    case NArchive::NExtract::NOperationResult::kUnsupportedMethod: return "Unsupported compression method";
    case NArchive::NExtract::NOperationResult::kDataError: return "Data error";
    case NArchive::NExtract::NOperationResult::kCRCError: return "CRC error";
    case NArchive::NExtract::NOperationResult::kUnavailable: return "Unavailable data";
    case NArchive::NExtract::NOperationResult::kUnexpectedEnd: return "Unexpected end of data";
    case NArchive::NExtract::NOperationResult::kDataAfterEnd: return "There are some data after the end of the payload data";
    case NArchive::NExtract::NOperationResult::kIsNotArc: return "Is not archive";
    case NArchive::NExtract::NOperationResult::kHeadersError: return "Headers error";
    case NArchive::NExtract::NOperationResult::kWrongPassword: return "Wrong password";
    default: return "Unknown error";
  }
}

}  // namespace

HRESULT T7zInArchive::Failed() noexcept {
  const HRESULT code = ResultOfCurrentException();
  slot_->Keep(std::current_exception());
  return code;
}

void T7zInArchive::Record(uint32_t index, Verdict verdict, std::string message) {
  std::string path;
  try {
    path = ItemPath(index);
  } catch (...) {
  }
  std::lock_guard lock(failures_mutex_);
  if (verdict == Verdict::kCreateFailed) ++create_failures_;
  failures_.push_back({index, verdict, std::move(path), std::move(message)});
}

HRESULT STDMETHODCALLTYPE T7zInArchive::SetTotal(UInt64 total) noexcept {
  if (!progress_handler_) return S_OK;
  std::lock_guard lock(progress_mutex_);
  try {
    return progress_handler_(progress_sender_, true, static_cast<int64_t>(total));
  } catch (...) {
    return Failed();
  }
}

HRESULT STDMETHODCALLTYPE T7zInArchive::SetCompleted(const UInt64* value) noexcept {
  if (!progress_handler_ || !value) return S_OK;
  std::lock_guard lock(progress_mutex_);
  try {
    return progress_handler_(progress_sender_, false, static_cast<int64_t>(*value));
  } catch (...) {
    return Failed();
  }
}

HRESULT STDMETHODCALLTYPE T7zInArchive::GetStream(UInt32 index, ISequentialOutStream** stream,
                                                  Int32 ask_mode) noexcept {
  if (!stream) return E_INVALIDARG;
  *stream = nullptr;
  current_index_ = index;
  current_mode_ = ask_mode;
  current_unfinished_ = false;
  current_file_.clear();
  try {
    if (ask_mode != AskMode::kExtract && ask_mode != AskMode::kTest) return S_OK;
    if (RefuseUnprotected(index)) return S_OK;
    if (ask_mode != AskMode::kExtract) return S_OK;
    if (single_target_) {
      auto adapter = T7zStream::Create(single_target_, StreamOwnership::Borrowed, slot_);
      *stream = adapter.Detach()->AsSequentialOutStream();
      current_unfinished_ = true;
      return S_OK;
    }
    if (item_handler_) {
      const HRESULT result = item_handler_(item_sender_, index, stream);
      current_unfinished_ = *stream != nullptr;
      return result;
    }
    if (extract_folder_) {
      const std::string path = ItemPath(index);
      if (!IsSafeItemPath(path)) {
        Record(index, Verdict::kPathRefused, "Refused item path " + path + ": it would leave " +
                                                 extract_folder_->path());
        current_mode_ = AskMode::kSkip;  // its verdict is this refusal
        return S_OK;
      }
      std::unique_ptr<FileStream> file;
      try {
        if (ItemIsFolder(index)) {
          // Folders are made as they come, so that empty ones exist too.
          // One that cannot be made is not reported here: the files below
          // it fail and are named on their own.
          try {
            extract_folder_->CreateFolders(path);
          } catch (const Error&) {
          }
          return S_OK;
        }
        file = extract_folder_->CreateItemFile(path);
      } catch (const Error& e) {
        // Nothing is written for this item; the others go on.
        Record(index, Verdict::kCreateFailed, e.what());
        current_mode_ = AskMode::kSkip;
        return S_OK;
      }
      auto adapter = T7zStream::Create(std::move(file), slot_);
      *stream = adapter.Detach()->AsSequentialOutStream();
      current_unfinished_ = true;
      current_file_ = extract_folder_->path() + path;
    }
    return S_OK;
  } catch (...) {
    return Failed();
  }
}

// Anyone who holds the file can add items to its archive without knowing
// the password; only what is encrypted is known to come from the sender.
bool T7zInArchive::RefuseUnprotected(uint32_t index) {
  if (!require_encryption_ || ItemIsFolder(index) || ItemSize(index) == 0 || ItemIsEncrypted(index)) return false;
  Record(index, Verdict::kNotProtected, "not protected by the password");
  current_mode_ = AskMode::kSkip;  // its verdict is this refusal
  return true;
}

HRESULT STDMETHODCALLTYPE T7zInArchive::PrepareOperation(Int32) noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE T7zInArchive::SetOperationResult(Int32 result) noexcept {
  current_unfinished_ = false;
  if (result == NArchive::NExtract::NOperationResult::kOK && !current_file_.empty()) {
    // The library has released the file's stream by now.
    RestoreFileMetadata(current_index_, current_file_);
  }
  current_file_.clear();
  if (result == NArchive::NExtract::NOperationResult::kOK || current_mode_ == AskMode::kSkip) return S_OK;
  try {
    Record(current_index_, static_cast<Verdict>(result), VerdictText(result));
    return S_OK;
  } catch (...) {
    return Failed();
  }
}

void T7zInArchive::RestoreFileMetadata(uint32_t index, const std::string& file) {
  // Best effort: the content is what matters, and a file system that keeps
  // no times or modes must not fail the item.
  try {
    PropValue mtime, attrib;
    ItemProperty(index, kpidMTime, mtime);
    ItemProperty(index, kpidAttrib, attrib);
    std::optional<int64_t> ns;
    if (mtime.get().vt == VT_FILETIME) ns = UnixNsFromFileTime(mtime.get().filetime);
    ApplyItemMetadata(file, ns, static_cast<uint32_t>(attrib.UInt()));
  } catch (...) {
  }
}

HRESULT STDMETHODCALLTYPE T7zInArchive::CryptoGetTextPassword(BSTR* password) noexcept {
  if (!password) return E_INVALIDARG;
  *password = nullptr;
  try {
    if (password_known_) {
      *password = AllocBstr(Widen(password_));
      return *password ? S_OK : E_OUTOFMEMORY;
    }
    if (!password_handler_) return S_FALSE;
    std::string text;
    const HRESULT result = password_handler_(password_sender_, text);
    if (result != S_OK) return result;
    *password = AllocBstr(Widen(text));
    if (!*password) return E_OUTOFMEMORY;
    // Asked once: the answer stands, even when empty, until CloseArchive.
    password_ = std::move(text);
    password_known_ = true;
    return S_OK;
  } catch (...) {
    return Failed();
  }
}

HRESULT STDMETHODCALLTYPE T7zInArchive::SetTotal(const UInt64*, const UInt64*) noexcept { return S_OK; }
HRESULT STDMETHODCALLTYPE T7zInArchive::SetCompleted(const UInt64*, const UInt64*) noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE T7zInArchive::GetProperty(PROPID, PROPVARIANT*) noexcept { return S_OK; }

HRESULT STDMETHODCALLTYPE T7zInArchive::GetStream(const wchar_t*, IInStream** stream) noexcept {
  if (stream) *stream = nullptr;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE T7zInArchive::SetSubArchiveName(const wchar_t* name) noexcept {
  try {
    sub_archive_name_ = Narrow(name);
    sub_archive_ = true;
    return S_OK;
  } catch (...) {
    return Failed();
  }
}

}  // namespace coffer::sevenzip
