#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace coffer::test {
namespace {

// Paths are UTF-8 strings here, on every system.
fs::path P(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }
std::string S(const fs::path& p) {
  const std::u8string u = p.generic_u8string();
  return std::string(u.begin(), u.end());
}

}  // namespace

void WriteFile(const std::string& path, const std::string& content) {
  fs::create_directories(P(path).parent_path());
  std::ofstream out(P(path), std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(P(path), std::ios::binary | std::ios::ate);
  if (!in) throw std::runtime_error("cannot read " + path);
  // One read of the whole file: large fixtures stay quick under the
  // sanitizers, which slow a byte-by-byte loop down a hundredfold.
  std::string content(static_cast<size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (!in) throw std::runtime_error("cannot read " + path);
  return content;
}

void SetModifiedTime(const std::string& path, int64_t unix_seconds) {
  const std::chrono::sys_seconds when{std::chrono::seconds{unix_seconds}};
  fs::last_write_time(P(path), std::chrono::file_clock::from_sys(when));
}

void SetFileSize(const std::string& path, int64_t size) { fs::resize_file(P(path), static_cast<uintmax_t>(size)); }

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(P(path), ec));
}

std::vector<std::pair<std::string, std::string>> TreeContents(const std::string& root) {
  std::vector<std::pair<std::string, std::string>> out;
  for (auto& e : fs::recursive_directory_iterator(P(root))) {
    if (e.is_regular_file() && !e.is_symlink())
      out.emplace_back(S(fs::relative(e.path(), P(root))), ReadFile(S(e.path())));
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> TreeEntries(const std::string& root) {
  std::vector<std::string> out;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(P(root), ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    out.push_back(S(fs::relative(it->path(), P(root))));
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

std::string EngineModule() { return COFFER_ENGINE_MODULE; }
std::string EngineRwModule() { return COFFER_ENGINE_RW_MODULE; }
std::string BinaryDir() { return std::string(COFFER_BINARY_DIR) + "/"; }
std::string SourceDir() { return std::string(COFFER_SOURCE_DIR) + "/"; }

}  // namespace coffer::test
