// The extraction and placing steps of the job.
#include <memory>
#include <optional>
#include <set>

#include "app/files.h"
#include "app/working_folder.h"
#include "extract/job.h"
#include "extract/overwrite.h"
#include "i18n/texts.h"
#include "platform/debug.h"
#include "platform/file_ops.h"
#include "platform/file_place.h"
#include "platform/file_remover.h"
#include "platform/safe_path.h"

namespace coffer {
namespace {

std::string ParentOf(const std::string& item_path) {
  const auto slash = item_path.rfind('/');
  return slash == std::string::npos ? std::string() : item_path.substr(0, slash);
}

}  // namespace

bool FolderExists(const std::string& path) { return IsFolder(path); }

JobEnd NotIntact(const std::vector<NotExtracted>& items) {
  JobEnd end{0, 3, i18n::Format(i18n::Text("02000C51"), std::to_string(items.size()),
                                items.empty() ? "" : items.front().path), {}};
  for (const auto& item : items) end.details.push_back(item.path + ": " + item.reason);
  return end;
}

namespace {

std::string ReasonFor(const sevenzip::ItemFailure& failure) {
  using sevenzip::Verdict;
  switch (failure.verdict) {
    case Verdict::kPathRefused: return "unsafe name: it would leave the output folder";
    case Verdict::kNotProtected: return "not protected by the password";
    case Verdict::kCreateFailed: return failure.message;
    case Verdict::kStopped: return "stopped before its end";
    default: return "damaged (" + failure.message + ")";
  }
}

}  // namespace

std::vector<NotExtracted> Job::DamagedItems(const std::string& extraction_folder, bool remove) {
  using sevenzip::Verdict;
  std::vector<NotExtracted> damaged;
  for (const auto& failure : reader_->LastFailures()) {
    const bool written = failure.verdict != Verdict::kPathRefused && failure.verdict != Verdict::kCreateFailed &&
                         failure.verdict != Verdict::kNotProtected;
    // Whatever came out of a damaged item is not the sender's file.
    if (remove && written) RemoveFileBelow(extraction_folder, failure.path);
    if (failure.path != kProbeItemName) damaged.push_back({failure.path.empty() ? "?" : failure.path, ReasonFor(failure)});
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
    return NotIntact(damaged);
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

JobEnd Job::Place(const std::string& extraction_folder, std::vector<NotExtracted> not_placed) {
  std::set<std::string> damaged;
  for (const auto& item : not_placed) damaged.insert(item.path);
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
  OpenFolder to;
  std::shared_ptr<const OpenFolder> from;
  // The files that new ones replaced, each now in the scratch folder, are
  // deleted beside the placing: where that waits on the disk, it would
  // otherwise be most of a replacing run.
  FileRemover replaced;
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
          from = std::make_shared<const OpenFolder>(scratch.OpenItemParent(path, false, &leaf));
          open_parent = parent;
        }
        outcome = PlaceFile(*from, name, to, name, standing_answer_,
                            [&] { return host_.AskOverwrite(destination, extraction_folder + path); },
                            record_);
        if (outcome.replaced_at_source) replaced.Remove(from, name);
      } catch (const HostFailure&) {
        throw;  // no answer came: the job ends with that error
      } catch (const std::exception& e) {
        outcome = {PlaceResult::kFailed, e.what(), {}};
      }
      if (outcome.result == PlaceResult::kFailed) not_placed.push_back({path, outcome.reason});
    }
    record_.items_placed.store(++placed, ProgressRecord::kRelaxed);
    pause_.Wait(record_);
  }
  replaced.Finish();
  record_.placing.store(0, ProgressRecord::kRelaxed);
  if (Cancelled() || not_placed.empty()) return {};
  return NotIntact(not_placed);
}

}  // namespace coffer
