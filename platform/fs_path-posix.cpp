#include "platform/fs_path.h"

namespace coffer {

// Names here are bytes, and ours are UTF-8 already.
std::filesystem::path FsPath(const std::string& utf8) { return std::filesystem::path(utf8); }

std::string Utf8Path(const std::filesystem::path& path) { return path.string(); }

std::string Utf8GenericPath(const std::filesystem::path& path) { return path.generic_string(); }

}  // namespace coffer
