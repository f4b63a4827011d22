// The extraction and placing steps of the job.
#include <filesystem>
#include <optional>
#include <set>

#include "app/files.h"
#include "app/working_folder.h"
#include "extract/job.h"
#include "extract/overwrite.h"
#include "i18n/texts.h"
#include "platform/debug.h"
#include "platform/file_place.h"
#include "platform/safe_path.h"

namespace coffer {
namespace {

std::string ParentOf(const std::string& item_path) {
  const auto slash = item_path.rfind('/');
  return slash == std::string::npos ? std::string() : item_path.substr(0, slash);
}

}  // namespace

bool FolderExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

std::string NotIntactText(const std::vector<std::string>& paths) {
  return i18n::Format(i18n::Text("02000C51"), std::to_string(paths.size()), paths.empty() ? "" : paths.front());
}

std::vector<std::string> Job::DamagedItems(const std::string& extraction_folder, bool remove) {
  std::vector<std::string> damaged;
  for (const auto& failure : reader_->LastFailures()) {
    const bool written = failure.verdict != sevenzip::Verdict::kPathRefused &&
                         failure.verdict != sevenzip::Verdict::kCreateFailed;
    // Whatever came out of a damaged item is not the sender's file.
    if (remove && written && IsSafeItemPath(failure.path)) RemoveFileEntry(extraction_folder + failure.path);
    if (failure.path != kProbeItemName) damaged.push_back(failure.path.empty() ? "?" : failure.path);
  }
  return damaged;
}

JobEnd Job::Extract() {
  record_.hold.store(0, ProgressRecord::kRelaxed);
  record_.items_placed.store(0, ProgressRecord::kRelaxed);
  record_.extraction_phase.store(-1, ProgressRecord::kRelaxed);

  if (!existing_) {
    // Whatever the engine wrote for items it failed stays out of the output,
    // and so does the probe, however the extraction ends.
    const auto clean_up = [&] {
      auto damaged = DamagedItems(output_base_, true);
      RemoveProbeItem(output_base_);
      return damaged;
    };
    try {
      reader_->ExtractAllToFolder(output_base_);
    } catch (...) {
      clean_up();
      throw;
    }
    const auto damaged = clean_up();
    record_.hold.store(-1, ProgressRecord::kRelaxed);
    if (Cancelled() || damaged.empty()) return {};
    return {0, 3, NotIntactText(damaged)};
  }

  ScratchFolder scratch(MakeWorkingFolder(sum_));  // ends in "/"
  record_.scratch_extraction.store(-1, ProgressRecord::kRelaxed);
  try {
    reader_->ExtractAllToFolder(scratch.path());
  } catch (...) {
    record_.scratch_extraction.store(0, ProgressRecord::kRelaxed);
    throw;
  }
  record_.scratch_extraction.store(0, ProgressRecord::kRelaxed);
  auto damaged = DamagedItems(scratch.path(), false);
  record_.hold.store(-1, ProgressRecord::kRelaxed);
  if (Cancelled()) return {};
  return Place(scratch.path(), std::move(damaged));
}

JobEnd Job::Place(const std::string& extraction_folder, std::vector<std::string> not_placed) {
  const std::set<std::string> damaged(not_placed.begin(), not_placed.end());
  record_.placing.store(-1, ProgressRecord::kRelaxed);
  record_.items_placed.store(0, ProgressRecord::kRelaxed);
  record_.hold.store(0, ProgressRecord::kRelaxed);

  int32_t placed = 0;
  // Each file is named relative to its open parents, so no path is too
  // long to place. Items come grouped by folder: each pair of parents (made
  // in the output, found in the scratch folder) is opened once per run.
  SafeFolder output(output_base_, true);
  SafeFolder scratch(extraction_folder, false);
  std::optional<std::string> open_parent;
  OpenFolder to, from;
  for (uint32_t k = 0; k < item_total_ && !Cancelled(); ++k) {
    if (reader_->ItemIsFolder(k)) continue;
    const std::string path = reader_->ItemPath(k);
    if (path == kProbeItemName) continue;
    if (IsSafeItemPath(path) && !damaged.count(path)) {
      const std::string destination = output_base_ + path;
      DebugLine(destination);
      PlaceOutcome outcome;
      try {
        const std::string parent = ParentOf(path);
        const std::string name = path.substr(parent.empty() ? 0 : parent.size() + 1);
        if (parent != open_parent) {
          open_parent.reset();
          std::string leaf;
          to = output.OpenItemParent(path, true, &leaf);
          from = scratch.OpenItemParent(path, false, &leaf);
          open_parent = parent;
        }
        outcome = PlaceFile(from, name, to, name, standing_answer_,
                            [&] { return host_.AskOverwrite(destination, extraction_folder + path); },
                            record_);
      } catch (const std::exception& e) {
        outcome = {PlaceResult::kFailed, e.what(), {}};
      }
      if (outcome.result == PlaceResult::kFailed) not_placed.push_back(path);
    }
    record_.items_placed.store(++placed, ProgressRecord::kRelaxed);
    pause_.Wait(record_);
  }
  record_.placing.store(0, ProgressRecord::kRelaxed);
  if (Cancelled() || not_placed.empty()) return {};
  return {0, 3, NotIntactText(not_placed)};
}

}  // namespace coffer
