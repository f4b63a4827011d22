// Stand-in modules and the loaded-module check on Windows. The modules are
// made by the cross compiler through the test shell; their entry points
// have the system's COM calling convention and keep their plain names.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/sevenzip/fixtures.h"

namespace coffer::test {

std::string BuildModule(const ScratchDir& dir, const std::string& name, const std::string& c_source) {
  const std::string source = dir / (name + ".c");
  const std::string module = dir / (name + ".dll");
  WriteFile(source, c_source);
  std::string out;
  const int rc = Run("i686-w64-mingw32-gcc-posix -shared -DCOFFER_CALL=__stdcall -Wl,--kill-at -o " + Quote(module) +
                         " " + Quote(source),
                     &out);
  EXPECT_EQ(rc, 0) << out;
  return module;
}

bool IsMapped(const std::string& path) {
  std::string native = path;
  for (char& c : native)
    if (c == '/') c = '\\';
  const int n = MultiByteToWideChar(CP_UTF8, 0, native.data(), static_cast<int>(native.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, native.data(), static_cast<int>(native.size()), wide.data(), n);
  return GetModuleHandleW(wide.c_str()) != nullptr;
}

}  // namespace coffer::test
