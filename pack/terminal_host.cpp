#include "pack/terminal_host.h"

#include <cstdio>

#include "app/files.h"
#include "app/working_folder.h"
#include "extract/worker.h"
#include "i18n/texts.h"
#include "platform/file_info.h"
#include "platform/locale.h"

namespace coffer::pack {
namespace {

constexpr auto kTick = std::chrono::milliseconds(250);

std::string Describe(const std::string& path) {
  std::string text = std::to_string(FileSize(path)) + " bytes";
  if (const auto t = FileModifiedTime(path)) {
    char buf[32];
    std::snprintf(buf, sizeof buf, ", modified %04d-%02d-%02d %02d:%02d:%02d", t->year, t->month, t->day, t->hour,
                  t->minute, t->second);
    text += buf;
  }
  return text;
}

}  // namespace

std::optional<OverwriteAnswer> ParseOverwriteReply(const std::string& reply) {
  if (reply == "y" || reply == "Y") return OverwriteAnswer::kYes;
  if (reply == "n") return OverwriteAnswer::kNo;
  if (reply == "A") return OverwriteAnswer::kYesToAll;
  if (reply == "N") return OverwriteAnswer::kNoToAll;
  if (reply == "r" || reply == "R") return OverwriteAnswer::kAutoRename;
  if (reply == "c" || reply == "C") return OverwriteAnswer::kCancel;
  return std::nullopt;
}

std::optional<OverwriteAnswer> AnswerForMode(OverwriteMode mode) {
  switch (mode) {
    case OverwriteMode::kAlways: return OverwriteAnswer::kYesToAll;
    case OverwriteMode::kNever: return OverwriteAnswer::kNoToAll;
    case OverwriteMode::kRename: return OverwriteAnswer::kAutoRename;
    case OverwriteMode::kAsk: break;
  }
  return std::nullopt;
}

OverwriteAnswer TerminalHost::AskOverwrite(const std::string& existing_file, const std::string& new_file) {
  if (const auto standing = AnswerForMode(mode_)) return *standing;
  {
    std::lock_guard lock(mutex_);
    asking_ = true;
  }
  bar_.Clear();
  const std::string question = "The file " + existing_file + " already exists.\n  existing: " +
                               Describe(existing_file) + "\n  new:      " + Describe(new_file) +
                               "\nReplace it? y = yes, n = no, A = yes to all, N = no to all, r = auto rename, "
                               "c = cancel: ";
  OverwriteAnswer answer = OverwriteAnswer::kCancel;
  std::string prompt = question;
  for (;;) {
    const auto reply = AskLine(prompt, false);
    if (!reply) break;  // no terminal, its end, or Ctrl-C: stop rather than guess
    if (const auto a = ParseOverwriteReply(*reply)) {
      answer = *a;
      break;
    }
    prompt = "Please answer y, n, A, N, r or c: ";
  }
  std::lock_guard lock(mutex_);
  asking_ = false;
  return answer;
}

bool TerminalHost::AskPassword(std::string& password) {
  {
    std::lock_guard lock(mutex_);
    asking_ = true;
  }
  bar_.Clear();
  const auto entered = AskLine("Password: ", true);
  std::lock_guard lock(mutex_);
  asking_ = false;
  if (!entered) return false;
  password = *entered;
  return true;
}

void TerminalHost::JobEnded(const JobEnd& end) {
  {
    std::lock_guard lock(mutex_);
    end_ = end;
  }
  ended_cv_.notify_all();
}

std::optional<JobEnd> TerminalHost::WaitForEnd(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  ended_cv_.wait_for(lock, timeout, [&] { return end_.has_value(); });
  return end_;
}

bool TerminalHost::Asking() const {
  std::lock_guard lock(mutex_);
  return asking_;
}

BarState BarStateOf(const ProgressRecord& r) {
  constexpr auto o = ProgressRecord::kRelaxed;
  if (r.placing.load(o) != 0)
    return {"placing", r.items_placed.load(o), r.item_count.load(o), false};
  const int64_t done = r.current_size.load(o), total = r.total_size.load(o);
  if (r.hold.load(o) != 0) return {"preparing", done, total};
  if (r.extraction_phase.load(o) == 0) return {"copying", done, total};
  return {"extracting", done, total};
}

int RunExtract(const Options& options) {
  if (options.overwrite == OverwriteMode::kAsk && !HaveTerminal()) {
    std::fprintf(stderr,
                 "coffer-pack: --overwrite ask needs a terminal to ask on; choose --overwrite always, never or "
                 "rename\n");
    return kExitUsage;
  }
  std::string working;
  try {
    const std::string password = ExistingPassword(options.password_file);
    working = MakeWorkingFolder(WorkingFolderNeed(options.archive));
    i18n::WriteLanguageFile(working, SystemDefaultLangId());

    ProgressBar bar;
    ProgressRecord record;
    PauseGate pause;
    TerminalHost host(options.overwrite, bar);
    WorkerInputs inputs{options.archive, options.output_folder, password, working, working + "7z.dll"};
    std::optional<JobEnd> end;
    bool interrupted = false;
    {
      TThreaEncryptFile worker(inputs, record, pause, host);
      worker.Start();
      while (!(end = host.WaitForEnd(kTick))) {
        if (Interrupted() && !interrupted) {
          interrupted = true;
          pause.Cancel(record);
        }
        if (!host.Asking()) {
          const BarState s = BarStateOf(record);
          bar.Update(s.stage, s.done, s.total, true, s.bytes);
        }
      }
      worker.Join();
    }
    bar.Clear();
    RemoveTree(working);
    interrupted = interrupted || Interrupted();
    if (interrupted) {
      std::fprintf(stderr, "coffer-pack: interrupted; files extracted so far stay in place\n");
      return InterruptedStatus();
    }
    if (end->first == 1 && end->second == 0 && !record.Cancelled()) {
      std::printf("coffer-pack: extracted into %s%s%s/\n", options.output_folder.c_str(),
                  options.output_folder.ends_with('/') ? "" : "/",
                  FileNameWithoutExtension(options.archive).c_str());
      return kExitOk;
    }
    if (end->first == 0 && end->second == 2) {
      std::fprintf(stderr, "coffer-pack: wrong password for %s\n", options.archive.c_str());
      return kExitWrongPassword;
    }
    if (end->first == 0 && end->second == 1)
      std::fprintf(stderr, "coffer-pack: the output folder %s could not be made\n", end->text.c_str());
    else if (end->first == 1)
      std::fprintf(stderr, "coffer-pack: cancelled\n");
    else
      std::fprintf(stderr, "coffer-pack: %s\n", end->text.c_str());
    // The window has room for one sentence; here every item gets its reason.
    for (const std::string& line : end->details) std::fprintf(stderr, "  %s\n", line.c_str());
    return kExitFailure;
  } catch (const UsageError& e) {
    if (!working.empty()) RemoveTree(working);
    std::fprintf(stderr, "coffer-pack: %s\n", e.what());
    return kExitUsage;
  } catch (const std::exception& e) {
    if (!working.empty()) RemoveTree(working);
    std::fprintf(stderr, "coffer-pack: %s\n", e.what());
    return kExitFailure;
  }
}

}  // namespace coffer::pack
