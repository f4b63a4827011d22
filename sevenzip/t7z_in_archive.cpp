#include "sevenzip/t7z_in_archive.h"

#include <algorithm>

#include "platform/error.h"
#include "sevenzip/result.h"
#include "sevenzip/t7z_stream.h"

namespace coffer::sevenzip {
namespace {

// Empties a piece of per-call state however the call ends.
template <class F>
class OnExit {
 public:
  explicit OnExit(F f) : f_(std::move(f)) {}
  ~OnExit() { f_(); }
  OnExit(const OnExit&) = delete;
  OnExit& operator=(const OnExit&) = delete;

 private:
  F f_;
};

}  // namespace

T7zInArchive::T7zInArchive(const std::string& module_path) : T7zArchive(module_path) {}

// The handler goes first; the module follows when its last holder goes.
T7zInArchive::~T7zInArchive() { engine_.reset(); }

ULONG STDMETHODCALLTYPE T7zInArchive::AddRef() noexcept { return AddRefPlugin(); }
ULONG STDMETHODCALLTYPE T7zInArchive::Release() noexcept { return ReleasePlugin(); }

HRESULT STDMETHODCALLTYPE T7zInArchive::QueryInterface(REFIID iid, void** out) noexcept {
  // The reader interface's own id, as the other end of the binding knows it.
  static const GUID kIID_I7zReader = {
      0x022CF785, 0x3ECE, 0x46EF, {0x97, 0x55, 0x29, 0x1F, 0xA8, 0x4C, 0xC6, 0xC9}};
  if (!out) return E_INVALIDARG;
  if (iid == IID_IUnknown || iid == IID_IArchiveOpenCallback)
    *out = static_cast<IArchiveOpenCallback*>(this);
  else if (iid == IID_IArchiveExtractCallback || iid == IID_IProgress)
    *out = static_cast<IArchiveExtractCallback*>(this);
  else if (iid == IID_ICryptoGetTextPassword)
    *out = static_cast<ICryptoGetTextPassword*>(this);
  else if (iid == IID_IArchiveOpenVolumeCallback)
    *out = static_cast<IArchiveOpenVolumeCallback*>(this);
  else if (iid == IID_IArchiveOpenSetSubArchiveName)
    *out = static_cast<IArchiveOpenSetSubArchiveName*>(this);
  else if (iid == kIID_I7zReader)
    *out = static_cast<I7zReader*>(this);
  else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

IInArchive* T7zInArchive::EngineArchive() {
  if (!engine_) {
    void* object = nullptr;
    CreateEngineObject(FormatClassIdValue(), FromGuid(IID_IInArchive), &object);
    if (!object) throw Error(module_path() + " made no archive handler for the format");
    engine_ = EnginePtr<IInArchive>(static_cast<IInArchive*>(object), module());
  }
  return engine_.get();
}

void T7zInArchive::Open(IInStream* stream) {
  IInArchive* engine = EngineArchive();
  opened_ = false;
  const UInt64 scan_limit = OpenScanLimit;
  // The library holds this object as its callback during the call.
  auto self = ComPtr<IArchiveOpenCallback>::Share(this);
  slot_->Clear();
  const HRESULT result = engine->Open(stream, &scan_limit, self.get());
  slot_->RethrowIfAny();
  CheckResult(result);
  UInt32 count = 0;
  CheckResult(engine->GetNumberOfItems(&count));
  item_count_ = count;
  opened_ = true;
}

void T7zInArchive::OpenFromFile(const std::string& path) {
  auto file = std::make_unique<FileStream>(path, FileMode::kRead);
  auto stream = T7zStream::Create(std::move(file), slot_);
  Open(stream->AsInStream());
}

void T7zInArchive::OpenFromStream(HostStream& stream) {
  auto adapter = T7zStream::Create(&stream, StreamOwnership::Borrowed, slot_);
  Open(adapter->AsInStream());
}

void T7zInArchive::CloseArchive() {
  password_known_ = false;
  sub_archive_ = false;
  opened_ = false;
  item_count_ = 0;
  if (engine_) engine_->Close();
  engine_.reset();
}

IInArchive& T7zInArchive::Opened() {
  if (!opened_ || !engine_) throw Error("No archive is open");
  return *engine_.get();
}

uint32_t T7zInArchive::ItemCount() {
  UInt32 count = 0;
  CheckResult(Opened().GetNumberOfItems(&count));
  return count;
}

void T7zInArchive::CheckIndex(uint32_t index) {
  Opened();
  // The handler indexes its tables without a check of its own.
  if (index >= item_count_)
    throw Error("Item " + std::to_string(index) + " is out of range: the archive has " +
                std::to_string(item_count_) + " items");
}

void T7zInArchive::ItemProperty(uint32_t index, PROPID id, PropValue& value) {
  CheckIndex(index);
  // A property the handler cannot give is no empty value: say so.
  CheckResult(engine_->GetProperty(index, id, value.out()));
}

std::string T7zInArchive::ItemPath(uint32_t index) {
  PropValue value;
  ItemProperty(index, kpidPath, value);
  return value.PathText();
}

std::string T7zInArchive::ItemName(uint32_t index) {
  PropValue value;
  ItemProperty(index, kpidName, value);
  return value.PathText();
}

int64_t T7zInArchive::ItemSize(uint32_t index) {
  PropValue value;
  ItemProperty(index, kpidSize, value);
  return static_cast<int64_t>(value.UInt());
}

bool T7zInArchive::ItemIsFolder(uint32_t index) {
  PropValue value;
  ItemProperty(index, kpidIsDir, value);
  return value.Bool();
}

bool T7zInArchive::ItemIsEncrypted(uint32_t index) {
  PropValue value;
  ItemProperty(index, kpidEncrypted, value);
  return value.Bool();
}

void T7zInArchive::RunExtract(const uint32_t* indices, uint32_t count, bool test) {
  IInArchive& engine = Opened();
  {
    std::lock_guard lock(failures_mutex_);
    failures_.clear();
    create_failures_ = 0;
  }
  current_mode_ = NArchive::NExtract::NAskMode::kSkip;
  current_unfinished_ = false;
  auto self = ComPtr<IArchiveExtractCallback>::Share(this);
  slot_->Clear();
  const HRESULT result = engine.Extract(indices, count, test ? 1 : 0, self.get());
  if (current_unfinished_) {
    // The call ended (stopped or failed) in the middle of this item: what
    // its stream received is not the whole file.
    current_unfinished_ = false;
    if (result == E_ABORT)
      Record(current_index_, Verdict::kStopped, "Extraction stopped before the end of this item");
    else
      Record(current_index_, Verdict::kUnexpectedEnd, "Extraction ended before the end of this item");
  }
  slot_->RethrowIfAny();
  CheckResult(result);

  std::lock_guard lock(failures_mutex_);
  if (create_failures_ == 0) return;
  // Every other item has been extracted; the caller still learns, by an
  // error naming the file, that some could not be written.
  const auto first = std::find_if(failures_.begin(), failures_.end(),
                                  [](const ItemFailure& f) { return f.verdict == Verdict::kCreateFailed; });
  std::string message = first->message;
  if (create_failures_ > 1) message += " (and " + std::to_string(create_failures_ - 1) + " more files)";
  throw Error(message);
}

void T7zInArchive::ExtractItemToStream(uint32_t index, HostStream& stream, bool test) {
  CheckIndex(index);
  single_target_ = &stream;
  OnExit done([this] { single_target_ = nullptr; });
  RunExtract(&index, 1, test);
}

void T7zInArchive::ExtractItemList(const uint32_t* indices, uint32_t count, bool test, void* sender,
                                   ItemStreamHandler handler) {
  // The library wants the indices sorted and valid.
  std::vector<uint32_t> sorted(indices, indices + count);
  for (uint32_t index : sorted) CheckIndex(index);
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  item_handler_ = handler;
  item_sender_ = sender;
  OnExit done([this] { item_handler_ = nullptr; item_sender_ = nullptr; });
  if (sorted.empty()) {
    std::lock_guard lock(failures_mutex_);
    failures_.clear();
    return;
  }
  RunExtract(sorted.data(), static_cast<uint32_t>(sorted.size()), test);
}

void T7zInArchive::ExtractAllWithHandler(bool test, void* sender, ItemStreamHandler handler) {
  item_handler_ = handler;
  item_sender_ = sender;
  OnExit done([this] { item_handler_ = nullptr; item_sender_ = nullptr; });
  RunExtract(nullptr, 0xFFFFFFFF, test);
}

void T7zInArchive::ExtractAllToFolder(const std::string& folder) {
  Opened();
  extract_folder_ = std::make_unique<SafeFolder>(folder, true);
  OnExit done([this] { extract_folder_.reset(); });
  RunExtract(nullptr, 0xFFFFFFFF, false);
}

void T7zInArchive::SetPasswordHandler(void* sender, PasswordHandler handler) {
  password_sender_ = sender;
  password_handler_ = handler;
}

void T7zInArchive::SetKnownPassword(const std::string& password) {
  password_ = password;
  password_known_ = !password.empty();
}

void T7zInArchive::SetProgressHandler(void* sender, ProgressHandler handler) {
  progress_sender_ = sender;
  progress_handler_ = handler;
}

std::vector<ItemFailure> T7zInArchive::LastFailures() {
  std::lock_guard lock(failures_mutex_);
  return failures_;
}

ReaderRef New7zReader(const Guid& format_class_id, const std::string& module_path) {
  ReaderRef reader(new T7zInArchive(module_path));
  reader->SetFormatClassId(format_class_id);
  return reader;
}

}  // namespace coffer::sevenzip
