#pragma once
// The terminal modes that read a self-extracting file without placing
// anything: --list (names, sizes, whether the headers are intact; no
// password needed, the names are stored readable) and --test (decrypts and
// checks every item).
#include <string>

#include "pack/options.h"
#include "sevenzip/reader.h"

namespace coffer::pack {

// The engine module of the program's own resource "7z_dll", written into a
// fresh working folder that goes away with this object.
class ResourceEngine {
 public:
  ResourceEngine();  // throws coffer::Error
  ~ResourceEngine();
  ResourceEngine(const ResourceEngine&) = delete;
  ResourceEngine& operator=(const ResourceEngine&) = delete;
  const std::string& folder() const { return folder_; }
  std::string module_path() const { return folder_ + "7z.dll"; }

 private:
  std::string folder_;
};

int RunList(const Options& options);
int RunTest(const Options& options);

}  // namespace coffer::pack
