#pragma once
// The case folding the profile reader compares section and key names in,
// as the system does it (platform/profile.cpp holds the reader itself).
#include <string>

namespace coffer {

// `utf8` in a form where names that differ only in case are equal.
std::string ProfileCaseFolded(const std::string& utf8);

}  // namespace coffer
