#pragma once
// std::filesystem paths from and to our UTF-8 text. A path made straight
// from a std::string is read in the system's narrow encoding, which is not
// UTF-8 everywhere: code that hands real file names to std::filesystem goes
// through these.
#include <filesystem>
#include <string>

namespace coffer {

std::filesystem::path FsPath(const std::string& utf8);
// The path as UTF-8, with the system's separators.
std::string Utf8Path(const std::filesystem::path& path);
// The path as UTF-8, with "/" between components.
std::string Utf8GenericPath(const std::filesystem::path& path);

}  // namespace coffer
