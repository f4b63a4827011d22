// Runs the fuzz target once over each file named, or each file in each
// folder named, without libFuzzer: the normal build replays the saved
// cases this way, under whatever sanitizers that build has.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// A folder of cases may also hold its README and hidden files.
bool IsCase(const std::filesystem::path& file) {
  const std::string name = file.filename().string();
  return name[0] != '.' && name.rfind("README", 0) != 0;
}

void Replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
  std::printf("replay %s (%zu bytes)\n", file.c_str(), bytes.size());
  std::fflush(stdout);  // so a crash shows which input it was
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    const fs::path arg = argv[i];
    if (!fs::is_directory(arg)) {
      Replay(arg);
      ++count;
      continue;
    }
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(arg))
      if (entry.is_regular_file() && IsCase(entry.path())) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) Replay(f);
    count += static_cast<int>(files.size());
  }
  std::printf("replayed %d inputs\n", count);
  return 0;
}
