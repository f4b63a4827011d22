#include "extract/worker.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

#include "app/files.h"
#include "app/working_folder.h"
#include "extract/job.h"
#include "i18n/texts.h"
#include "platform/debug.h"
#include "platform/error.h"
#include "platform/file_ops.h"
#include "platform/resources.h"
#include "platform/safe_path.h"
#include "sevenzip/reader.h"

namespace coffer {
namespace {

constexpr int64_t kCopyBuffer = 61440;
constexpr int kFolderAttempts = 7;
constexpr auto kFolderRetryDelay = std::chrono::milliseconds(500);

// Reads exactly `size` bytes or throws: a payload that ends early is damaged.
void ReadExactly(HostStream& in, char* buffer, int64_t size, const std::string& name) {
  int64_t done = 0;
  while (done < size) {
    const int64_t n = in.Read(buffer + done, size - done);
    if (n <= 0) throw Error("Unexpected end of " + name);
    done += n;
  }
}

}  // namespace

int64_t WorkingFolderNeed(const std::string& program_path, int64_t payload_offset) {
  const auto status = StatusOf(program_path);
  const int64_t payload = status ? std::max<int64_t>(0, status->size - payload_offset) : 0;
  return kWorkingFolderNeed + payload;
}

TThreaEncryptFile::TThreaEncryptFile(WorkerInputs inputs, ProgressRecord& record, PauseGate& pause,
                                     JobHost& host)
    : inputs_(std::move(inputs)),
      record_(record),
      pause_(pause),
      host_(host),
      payload_copy_path_(inputs_.working_folder + "tmp.dat") {}

TThreaEncryptFile::~TThreaEncryptFile() { Join(); }

void TThreaEncryptFile::Start() {
  thread_ = std::thread([this] { Execute(); });
}

void TThreaEncryptFile::Join() {
  if (thread_.joinable()) thread_.join();
}

bool TThreaEncryptFile::Running() const { return thread_.joinable(); }

void TThreaEncryptFile::Execute() {
  JobEnd end;
  {
    Job job(inputs_, payload_copy_path_, record_, pause_, host_);
    try {
      end = job.Run();
    } catch (const std::exception& e) {
      // The engine answers a cancel request by failing the running call.
      end = record_.Cancelled() ? JobEnd{} : JobEnd{0, 3, e.what()};
    }
    // The job (and with it the reader and the engine module) is gone before
    // the host hears the end.
  }
  if (end.first == 0 && end.second == 3 && end.text.empty()) end.text = "unknown error";
  host_.JobEnded(end);
}

// --- the job, step by step ---

Job::Job(const WorkerInputs& in, const std::string& payload_copy, ProgressRecord& record, PauseGate& pause,
         JobHost& host)
    : in_(in),
      password_secret_(in.password),
      payload_copy_(payload_copy),
      record_(record),
      pause_(pause),
      host_(host) {}

Job::~Job() = default;

bool Job::Cancelled() const { return record_.Cancelled(); }

JobEnd Job::Run() {
  output_base_ = WithSlash(WithSlash(in_.output_folder) + FileNameWithoutExtension(in_.program_path));

  CopyPayload();
  if (Cancelled()) return {};

  ResourceToFile("7z_dll", "FILE", in_.module_path);
  if (Cancelled()) return {};

  if (!Open()) return Finish({0, 2, {}});
  PreScan();
  if (Cancelled()) return Finish({});
  // Without any encrypted data the password protects nothing: whoever had
  // the file could have made or changed all of it.
  if (data_items_ > 0 && protected_items_ == 0) return Finish({0, 3, i18n::Text("02000C52"), {}});

  if (!PasswordAccepted()) return Finish({0, 2, {}});
  if (Cancelled()) return Finish({});

  if (!MakeOutputBase()) return Finish({0, 1, output_base_});

  return Finish(Extract());
}

JobEnd Job::Finish(JobEnd end) {
  reader_.reset();
  return end;
}

void Job::CopyPayload() {
  FileStream copy(payload_copy_, FileMode::kCreate);
  FileStream program(in_.program_path, FileMode::kReadDenyWrite);
  const int64_t size = program.Size();
  if (size < in_.payload_offset) throw Error(in_.program_path + " holds no archive");
  program.Seek(in_.payload_offset, SeekOrigin::kBegin);

  int64_t remaining = size - in_.payload_offset;
  record_.total_size.store(remaining, ProgressRecord::kRelaxed);
  host_.ShowTotalSize(remaining);
  record_.current_size.store(0, ProgressRecord::kRelaxed);
  record_.extraction_phase.store(0, ProgressRecord::kRelaxed);

  // The system copies between the files where it can. The buffer is made
  // only once it cannot, and then serves the rest of the copy: the steps
  // only get smaller, so the first one's size is enough.
  std::vector<char> buffer;
  const int64_t total = remaining;
  while (remaining != 0) {
    const int64_t chunk = std::min(kCopyBuffer, remaining);
    int64_t done = buffer.empty() ? program.CopyTo(copy, chunk) : 0;
    if (done == 0) {
      if (buffer.empty()) buffer.resize(static_cast<size_t>(chunk));
      ReadExactly(program, buffer.data(), chunk, in_.program_path);
      copy.Write(buffer.data(), chunk);
      done = chunk;
    }
    remaining -= done;
    record_.current_size.store(total - remaining, ProgressRecord::kRelaxed);
    pause_.Wait(record_);
    if (Cancelled()) break;
  }
  record_.hold.store(-1, ProgressRecord::kRelaxed);
}

int32_t Job::OnProgress(void* sender, bool is_total, int64_t value) {
  auto* job = static_cast<Job*>(sender);
  job->pause_.Wait(job->record_);
  if (job->Cancelled()) return sevenzip::kStopResult;
  if (is_total) {
    job->record_.total_size.store(value, ProgressRecord::kRelaxed);
    DebugLine("g_nTotalSize-------------***" + std::to_string(value));
  } else {
    job->record_.current_size.store(value, ProgressRecord::kRelaxed);
    DebugLine("g_nCurrentSize-------------***" + std::to_string(value));
  }
  return 0;
}

int32_t Job::OnPassword(void* sender, std::string& password) {
  auto* job = static_cast<Job*>(sender);
  std::string entered;
  if (!job->host_.AskPassword(entered)) {
    // The host closes; the cancel flag makes this job end quietly.
    job->record_.RequestCancel();
    return sevenzip::kStopResult;
  }
  // The marker alone: neither the parameter nor the answer is ever traced.
  DebugLine("password-------------***");
  job->fallback_secrets_.push_back(std::make_unique<TraceSecret>(entered));
  const auto first = entered.find_first_not_of(" \t\r\n");
  const auto last = entered.find_last_not_of(" \t\r\n");
  password = first == std::string::npos ? std::string() : entered.substr(first, last - first + 1);
  return 0;
}

bool Job::Open() {
  reader_ = sevenzip::New7zReader(sevenzip::Format7zClassId, in_.module_path);
  reader_->SetProgressHandler(this, &Job::OnProgress);
  reader_->SetRequireEncryption(true);
  // An archive with encrypted names needs the password to be opened at all;
  // the open handler hands over the entered one and notes that it was asked.
  reader_->SetPasswordHandler(this, &Job::OnOpenPassword);
  try {
    reader_->OpenFromFile(payload_copy_);
  } catch (const std::exception& e) {
    if (Cancelled()) throw;
    // Headers that need the password and do not open with it: the
    // password is wrong (or they are damaged, which looks the same).
    if (password_asked_at_open_) return false;
    std::string why = e.what();
    throw Error("the archive in " + in_.program_path + " cannot be opened" + (why.empty() ? "" : ": " + why));
  }
  reader_->SetPasswordHandler(this, &Job::OnPassword);
  reader_->SetKnownPassword(in_.password);
  item_total_ = reader_->ItemCount();
  return true;
}

int32_t Job::OnOpenPassword(void* sender, std::string& password) {
  auto* job = static_cast<Job*>(sender);
  job->password_asked_at_open_ = true;
  password = job->in_.password;
  return 0;
}

void Job::PreScan() {
  int32_t count = 0;
  record_.item_count.store(0, ProgressRecord::kRelaxed);
  for (uint32_t i = 0; i < item_total_; ++i) {
    if (reader_->ItemIsFolder(i)) continue;
    if (Cancelled()) break;
    ++count;
    record_.item_count.store(count, ProgressRecord::kRelaxed);
    const int64_t size = reader_->ItemSize(i);
    sum_ += size;
    if (size > 0) {
      ++data_items_;
      if (reader_->ItemIsEncrypted(i)) ++protected_items_;
    }
    const std::string path = reader_->ItemPath(i);
    if (!existing_ && IsSafeItemPath(path) && ExistsBelow(output_base_, path)) existing_ = true;
  }
}

bool Job::PasswordAccepted() {
  bool failed = false;
  const ScratchFolder probe(MakeWorkingFolder(sum_));  // ends in "/"
  const std::string& probe_folder = probe.path();
  for (uint32_t j = 0; j < item_total_; ++j) {
    if (reader_->ItemIsFolder(j)) continue;
    const std::string path = reader_->ItemPath(j);
    // A probe anyone could have put there proves nothing about the password.
    if (path != kProbeItemName || !reader_->ItemIsEncrypted(j)) continue;
    if (Cancelled()) break;
    const int64_t stated = reader_->ItemSize(j);
    int64_t actual = 0;
    {
      auto target = CreateFileBelow(probe_folder, path);
      reader_->ExtractItemToStream(j, *target, false);
      actual = target->Size();
    }
    // A wrong key can still give a full-size stored probe: the engine's
    // verdict has the last word.
    const bool verdict_ok = reader_->LastFailures().empty();
    if (!verdict_ok || (actual == 0 && stated != 0)) {
      failed = true;
      break;
    }
    if (stated != 0 && stated == actual) break;
  }
  return !failed;
}

bool Job::MakeOutputBase() {
  for (int tries = 1; !FolderExists(output_base_); ++tries) {
    MakeFolders(output_base_);
    if (tries >= kFolderAttempts || Cancelled()) break;
    if (FolderExists(output_base_)) break;
    std::this_thread::sleep_for(kFolderRetryDelay);
  }
  return FolderExists(output_base_);
}

}  // namespace coffer
