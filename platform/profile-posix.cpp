#include <glib.h>

#include <memory>

#include "platform/profile.h"
#include "platform/profile_fold.h"

namespace coffer {

std::string ProfileCaseFolded(const std::string& utf8) {
  std::unique_ptr<char, decltype(&g_free)> folded(g_utf8_casefold(utf8.data(), static_cast<gssize>(utf8.size())),
                                                  g_free);
  return folded.get();
}

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view fallback) {
  gchar* contents = nullptr;
  gsize size = 0;
  if (!g_file_get_contents(path.c_str(), &contents, &size, nullptr)) return std::string(fallback);
  std::unique_ptr<gchar, decltype(&g_free)> hold(contents, g_free);
  return ProfileStringFromBytes(std::string_view(contents, size), section, key, fallback);
}

}  // namespace coffer
