#pragma once
// Free space as a test says, for folders inside a scratch folder.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "tests/support/scratch.h"

namespace coffer::test {

constexpr int64_t kMiB = 1024 * 1024;

// The temporary folder is tmp/, the candidate roots r1/ to r3/; a folder
// named in `free` has that many MiB free, any other none that is known.
class FakeSpace final : public FreeSpaceSource {
 public:
  FakeSpace(const ScratchDir& dir, std::map<std::string, std::optional<int64_t>> free)
      : dir_(dir), free_(std::move(free)) {}
  std::string TempFolder() const override { return dir_ / "tmp/"; }
  std::vector<std::string> CandidateRoots() const override { return {dir_ / "r1/", dir_ / "r2/", dir_ / "r3/"}; }
  std::optional<int64_t> FreeMiB(const std::string& path) const override {
    for (auto& [name, free] : free_)
      if (path == dir_ / (name + "/")) return free;
    return std::nullopt;
  }

 private:
  const ScratchDir& dir_;
  std::map<std::string, std::optional<int64_t>> free_;
};

}  // namespace coffer::test
