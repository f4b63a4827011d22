#include "tests/extract/job_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "app/files.h"
#include "app/working_folder.h"
#include "i18n/texts.h"
#include "platform/fs_path.h"

namespace coffer::test {
namespace {

// Runs before main: every working folder of this test process goes below
// a folder of its own, so that leftovers can be counted.
struct TempSetup {
  ScratchDir dir;
  std::string folder = dir.path();
  TempSetup() { UseTempFolder(folder); }
};
TempSetup& Setup() {
  static TempSetup setup;
  return setup;
}
[[maybe_unused]] const TempSetup& early = Setup();

}  // namespace

const std::string& TestTempFolder() { return Setup().folder; }

void UseEnglishTexts();

std::vector<std::string> TempEntries() {
  UseEnglishTexts();
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(FsPath(TestTempFolder())))
    names.push_back(Utf8Path(e.path().filename()));
  return names;
}

void MakeSelfExtracting(const std::string& program, const std::string& content_dir, const PackOptions& options) {
  ScratchDir work;
  const std::string archive = work / "payload.7z";
  std::string args = options.switches;
  if (!options.password.empty()) args += " " + Quote("-p" + options.password);
  std::string list;
  for (const auto& e : std::filesystem::directory_iterator(FsPath(content_dir)))
    list += " " + Quote(Utf8Path(e.path().filename()));
  if (options.probe) {
    WriteFile(work / kProbeItemName, RandomBytes(64, 7));
    list += " " + Quote(work / kProbeItemName);
  }
  if (list.empty()) FAIL() << "nothing to pack";
  Make7z(archive, content_dir, args + list);
  std::string image(options.image_size, '\0');
  WriteFile(program, image + ReadFile(archive));
}

void ScriptedHost::ShowTotalSize(int64_t total_bytes) {
  std::lock_guard lock(mutex);
  total_sizes.push_back(total_bytes);
}

OverwriteAnswer ScriptedHost::AskOverwrite(const std::string& existing_file, const std::string& new_file) {
  std::lock_guard lock(mutex);
  questions.emplace_back(existing_file, new_file);
  if (answers.empty()) return OverwriteAnswer::kCancel;
  const auto answer = answers.front();
  answers.pop_front();
  return answer;
}

bool ScriptedHost::AskPassword(std::string& password) {
  std::lock_guard lock(mutex);
  ++password_questions;
  password = password_answer;
  return !password_answer.empty();
}

void ScriptedHost::JobEnded(const JobEnd& end) {
  {
    std::lock_guard lock(mutex);
    ends.push_back(end);
  }
  ended_.notify_all();
}

bool ScriptedHost::WaitEnded(int timeout_ms) {
  std::unique_lock lock(mutex);
  return ended_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return !ends.empty(); });
}

namespace {
WorkerInputs Inputs(const std::string& program, const std::string& output_folder, const std::string& password) {
  WorkerInputs in;
  in.program_path = program;
  in.output_folder = output_folder;
  in.password = password;
  in.working_folder = MakeWorkingFolder(kWorkingFolderNeed);
  in.module_path = in.working_folder + "7z.dll";
  return in;
}

}  // namespace

// The worker's texts come from the run's language file, as in the program.
void UseEnglishTexts() {
  static const bool done = [] {
    const std::string folder = TestTempFolder() + "lang/";
    std::filesystem::create_directories(FsPath(folder));
    i18n::WriteLanguageFile(folder, 0x0409);
    return true;
  }();
  (void)done;
}

JobRun::JobRun(const std::string& program, const std::string& output_folder, const std::string& password)
    : inputs((UseEnglishTexts(), Inputs(program, output_folder, password))), worker(inputs, record, pause, host) {}

JobRun::~JobRun() {
  pause.Cancel(record);
  worker.Join();
  RemoveTree(inputs.working_folder);
}

JobEnd JobRun::RunHere() {
  worker.Execute();
  std::lock_guard lock(host.mutex);
  EXPECT_EQ(host.ends.size(), 1u) << "one job-end report per job";
  return host.ends.empty() ? JobEnd{-1, -1, "no end"} : host.ends.back();
}

}  // namespace coffer::test
