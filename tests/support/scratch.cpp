#include "tests/support/scratch.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace coffer::test {

ScratchDir::ScratchDir() {
  std::string tmpl = (fs::temp_directory_path() / "coffer-test-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl + "/";
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  // Tests may leave read-only folders behind on purpose.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  Run("chattr -R -i " + Quote(path_) + " 2>/dev/null");
  fs::remove_all(path_, ec);
}

void WriteFile(const std::string& path, const std::string& content) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

std::vector<std::pair<std::string, std::string>> TreeContents(const std::string& root) {
  std::vector<std::pair<std::string, std::string>> out;
  for (auto& e : fs::recursive_directory_iterator(root)) {
    if (e.is_regular_file() && !e.is_symlink())
      out.emplace_back(fs::relative(e.path(), root).string(), ReadFile(e.path().string()));
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> TreeEntries(const std::string& root) {
  std::vector<std::string> out;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    out.push_back(fs::relative(it->path(), root).string());
  std::sort(out.begin(), out.end());
  return out;
}

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') q += "'\\''";
    else q += c;
  }
  return q + "'";
}

int Run(const std::string& command, std::string* output) {
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return -1;
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
  const int status = pclose(p);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Make7z(const std::string& archive, const std::string& cwd, const std::string& args) {
  std::string out;
  const int rc = Run("cd " + Quote(cwd) + " && 7zz a -bd -y " + Quote(archive) + " " + args, &out);
  ASSERT_EQ(rc, 0) << out;
}

std::string RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(gen());
  return s;
}

bool SpinUntil(const std::function<bool()>& done, int timeout_ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(1000);
  }
  return true;
}

std::string EngineModule() { return COFFER_ENGINE_MODULE; }
std::string EngineRwModule() { return COFFER_ENGINE_RW_MODULE; }
std::string BinaryDir() { return std::string(COFFER_BINARY_DIR) + "/"; }
std::string SourceDir() { return std::string(COFFER_SOURCE_DIR) + "/"; }

}  // namespace coffer::test
