// The scratch folder and the shell on Linux.
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>

#include <regex>

#include "tests/support/scratch.h"

namespace fs = std::filesystem;

namespace coffer::test {

std::string ScratchDir::NativeSeparators(std::string rel) { return rel; }

int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

bool IsTvName(const std::string& name) { return std::regex_match(name, std::regex("tv_[0-9A-F]{4}\\.tmp")); }

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

std::string ShellPath(const std::string& path) { return path; }

void UseTempFolder(const std::string& folder) { setenv("TMPDIR", folder.c_str(), 1); }

}  // namespace coffer::test
