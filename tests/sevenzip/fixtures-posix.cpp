// Stand-in modules and the mapped-file check on Linux.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/sevenzip/fixtures.h"

namespace coffer::test {

std::string BuildModule(const ScratchDir& dir, const std::string& name, const std::string& c_source) {
  const std::string source = dir / (name + ".c");
  const std::string module = dir / (name + ".so");
  WriteFile(source, c_source);
  std::string out;
  const int rc = Run("cc -shared -fPIC -DCOFFER_CALL= -o " + Quote(module) + " " + Quote(source), &out);
  EXPECT_EQ(rc, 0) << out;
  return module;
}

bool IsMapped(const std::string& path) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line))
    if (line.size() >= path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0) return true;
  return false;
}

}  // namespace coffer::test
