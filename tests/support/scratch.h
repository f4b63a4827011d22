#pragma once
// Helpers shared by the tests: a folder that removes itself, small file
// helpers, running the real 7zz tool, and spinning the GTK main context.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace coffer::test {

// A fresh folder under the temporary folder; removed with its content when
// the object goes. path() ends in the system's separator ("/", or "\\" on
// Windows).
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  // `rel` ("a/b/") below the folder, in the system's own separators.
  std::string operator/(const std::string& rel) const { return path_ + NativeSeparators(rel); }
  static std::string NativeSeparators(std::string rel);

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& content);  // makes parents
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// The epoch seconds of a local date and time, through the system's own
// time-zone rules (a 32-bit C library's mktime stops at 2038).
int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second);
// Sets the modification time of the file `path` to `unix_seconds`.
void SetModifiedTime(const std::string& path, int64_t unix_seconds);
// Sets the size of the file `path` (sparse where the file system can).
void SetFileSize(const std::string& path, int64_t size);
// All regular files below `root`, as relative path -> content, sorted.
std::vector<std::pair<std::string, std::string>> TreeContents(const std::string& root);
// Every entry (files, folders, links) below `root`, relative, sorted.
std::vector<std::string> TreeEntries(const std::string& root);

// Runs a command through /bin/sh; returns its exit status. Output is kept
// in `output` when given.
int Run(const std::string& command, std::string* output = nullptr);
std::string Quote(const std::string& s);
// `path` as the commands given to Run see it: the same on Linux; under
// Wine, a path on drive Z: becomes the Unix path it names.
std::string ShellPath(const std::string& path);

// Points the system's temporary folder of this process at `folder` (which
// ends in "/"), for everything that asks for it after this call.
void UseTempFolder(const std::string& folder);

// Builds an archive with the real 7zz: `7zz a <archive> <args>` run inside
// `cwd`. Fails the current test when 7zz does.
void Make7z(const std::string& archive, const std::string& cwd, const std::string& args);

// Whether `name` is a unique temporary name with prefix "tv_": ours are
// "tv_" + four upper-case hex digits + ".tmp"; the system's on Windows may
// have fewer digits, in either case (Wine leaves out leading zeros).
bool IsTvName(const std::string& name);
// Deterministic pseudo-random bytes.
std::string RandomBytes(size_t n, uint32_t seed);

// Spins the default main context until `done` is true or `timeout_ms` pass.
bool SpinUntil(const std::function<bool()>& done, int timeout_ms = 10000);

std::string EngineModule();    // the extract-only module our build made
std::string EngineRwModule();  // the read-write module
std::string BinaryDir();       // build/ with a trailing "/"
std::string SourceDir();

}  // namespace coffer::test
