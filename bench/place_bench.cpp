// Placing extracted files over existing ones across file systems: the safe
// replace (a copy to a temporary name, then a rename) against `cp -p`
// doing the same files.
// Each run is timed twice: as it returns, and with its data on disk (sync).
// ext4 starts writing a file out when it is renamed over another one, so the
// first figure shows that cost, which cp only defers.
//   place_bench [folder]      folder defaults to the temporary folder
#include <filesystem>
#include <string>

#include "bench/bench_util.h"
#include "platform/file_place.h"

namespace fs = std::filesystem;
using namespace coffer;

namespace {

void Fill(const std::string& path, size_t bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  std::string block(1 << 16, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 2654435761u >> 13);
  for (size_t done = 0; done < bytes; done += block.size()) std::fwrite(block.data(), 1, std::min(block.size(), bytes - done), f);
  std::fclose(f);
}

struct Tree {
  std::string scratch, out;
  int files;
};

void Reset(const Tree& t, bool existing) {
  fs::remove_all(t.out);
  fs::create_directories(t.out);
  for (int i = 0; existing && i < t.files; ++i) {
    FILE* f = std::fopen((t.out + "/f" + std::to_string(i)).c_str(), "wb");
    std::fputs("old", f);
    std::fclose(f);
  }
}

// The safe copy alone: the job renames into place where it can, and
// copies like this where scratch and output are on different file systems.
int PlaceAll(const Tree& t) {
  for (int i = 0; i < t.files; ++i) {
    const std::string name = "/f" + std::to_string(i);
    if (CopyIntoPlace(t.scratch + name, t.out + name, PlaceMode::kReplace).status != PlaceCopyResult::kDone) return 1;
  }
  return 0;
}

std::string CopyAllCommand(const Tree& t) {
  return "cd '" + t.scratch + "' && find . -type f -print0 | xargs -0 cp -p -f -t '" + t.out + "'";
}

}  // namespace

int main(int argc, char** argv) {
  const std::string base = (argc > 1 ? std::string(argv[1]) : fs::temp_directory_path().string()) + "/coffer-place-bench";
  fs::remove_all(base);
  const struct {
    const char* what;
    int files;
    size_t bytes;
    bool existing;
  } cases[] = {{"replace 2,000 files of 64 KiB", 2000, 64 << 10, true},
               {"place 2,000 new files of 64 KiB", 2000, 64 << 10, false},
               {"replace one file of 1 GiB", 1, size_t{1} << 30, true}};
  for (const auto& c : cases) {
    Tree t{base + "/scratch", base + "/out", c.files};
    fs::remove_all(base);
    fs::create_directories(t.scratch);
    for (int i = 0; i < c.files; ++i) Fill(t.scratch + "/f" + std::to_string(i), c.bytes);
    const auto reset = [&] {
      Reset(t, c.existing);
      sync();
    };
    bench::Compare(c.what, 5, reset, [&] { return bench::Measure([&] { return PlaceAll(t); }); },
                   [&] { return bench::MeasureCommand(CopyAllCommand(t)); }, 1.25);
    bench::Compare((std::string(c.what) + ", synced").c_str(), 5, reset,
                   [&] { return bench::Measure([&] { int r = PlaceAll(t); sync(); return r; }); },
                   [&] { return bench::MeasureCommand(CopyAllCommand(t) + " && sync"); }, 1.25);
  }
  fs::remove_all(base);
}
