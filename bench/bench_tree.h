#pragma once
// Trees of benchmark files: written from a fixed seed so that every run
// measures the same data, and counted afterwards so that a job that left
// files out cannot pass for a fast one.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace coffer::bench {

struct TreeSpec {
  int files = 0;
  int64_t min_size = 0, max_size = 0;  // each file's size, uniformly between
  int folders = 40, subfolders = 7;    // file i goes to d<i % folders>/s<i % subfolders>/
};

struct TreeTotals {
  int64_t files = 0;
  int64_t bytes = 0;
  friend bool operator==(const TreeTotals&, const TreeTotals&) = default;
};

// Writes the tree below `root`: even files text-like (compressible), odd
// files random. Returns what it wrote.
inline TreeTotals MakeTree(const std::string& root, const TreeSpec& spec) {
  std::mt19937_64 gen(42);
  const char* words[] = {"alpha ", "beta ", "gamma ", "delta ", "archive ", "payload ", "extract ", "\n"};
  std::string buffer;
  TreeTotals totals;
  for (int i = 0; i < spec.files; ++i) {
    const std::string folder =
        root + "/d" + std::to_string(i % spec.folders) + "/s" + std::to_string(i % spec.subfolders);
    std::filesystem::create_directories(folder);
    const auto span = static_cast<uint64_t>(spec.max_size - spec.min_size + 1);
    const auto size = static_cast<size_t>(spec.min_size + (span > 1 ? static_cast<int64_t>(gen() % span) : 0));
    buffer.clear();
    if (i % 2 == 0) {
      while (buffer.size() < size) buffer += words[gen() % 8];
      buffer.resize(size);
    } else {
      buffer.resize(size);
      for (auto& c : buffer) c = static_cast<char>(gen());
    }
    FILE* f = std::fopen((folder + "/f" + std::to_string(i) + ".dat").c_str(), "wb");
    if (!f || std::fwrite(buffer.data(), 1, buffer.size(), f) != buffer.size() || std::fclose(f) != 0) {
      std::fprintf(stderr, "bench: cannot write the tree in %s\n", root.c_str());
      std::exit(1);
    }
    ++totals.files;
    totals.bytes += static_cast<int64_t>(size);
  }
  return totals;
}

// The regular files below `root` and their bytes.
inline TreeTotals CountTree(const std::string& root) {
  TreeTotals totals;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    ++totals.files;
    totals.bytes += static_cast<int64_t>(it->file_size(ec));
  }
  return totals;
}

}  // namespace coffer::bench
