#include "platform/fs_path.h"

#include "platform/system-win32.h"

namespace coffer {

// The narrow form of a path here is the ANSI code page, not UTF-8: the
// wide one is the only exact form.
std::filesystem::path FsPath(const std::string& utf8) { return std::filesystem::path(win32::Widen(utf8)); }

std::string Utf8Path(const std::filesystem::path& path) { return win32::Narrow(path.wstring()); }

std::string Utf8GenericPath(const std::filesystem::path& path) { return win32::Narrow(path.generic_wstring()); }

}  // namespace coffer
