#include "platform/resources.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/error.h"

namespace coffer {
namespace {

constexpr std::string_view kRoot = "/coffer/";

bool SameName(std::string_view a, std::string_view b) {
  if (!g_utf8_validate(a.data(), static_cast<gssize>(a.size()), nullptr) ||
      !g_utf8_validate(b.data(), static_cast<gssize>(b.size()), nullptr))
    return a == b;
  std::unique_ptr<char, decltype(&g_free)> fa(g_utf8_casefold(a.data(), static_cast<gssize>(a.size())), g_free);
  std::unique_ptr<char, decltype(&g_free)> fb(g_utf8_casefold(b.data(), static_cast<gssize>(b.size())), g_free);
  return std::strcmp(fa.get(), fb.get()) == 0;
}

// The child of `folder` (a resource path ending in "/") named `name`,
// case-insensitively; `want_folder` picks sub-folders ("FILE/") instead of
// files.
std::optional<std::string> FindChild(const std::string& folder, std::string_view name, bool want_folder) {
  if (name.empty() || name.find('/') != std::string_view::npos) return std::nullopt;
  std::unique_ptr<char*, decltype(&g_strfreev)> children(
      g_resources_enumerate_children(folder.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr), g_strfreev);
  if (!children) return std::nullopt;
  for (char** child = children.get(); *child; ++child) {
    std::string_view entry = *child;
    const bool is_folder = !entry.empty() && entry.back() == '/';
    if (is_folder != want_folder) continue;
    if (is_folder) entry.remove_suffix(1);
    if (SameName(entry, name)) return folder + std::string(*child);
  }
  return std::nullopt;
}

std::string Quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

}  // namespace

std::optional<std::string> FindProgramResource(std::string_view name, std::string_view type) {
  const auto folder = FindChild(std::string(kRoot), type, true);
  if (!folder) return std::nullopt;
  return FindChild(*folder, name, false);
}

ResourceData::ResourceData(std::string_view name, std::string_view type) {
  const auto path = FindProgramResource(name, type);
  GBytes* bytes = path ? g_resources_lookup_data(path->c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr) : nullptr;
  if (!bytes)
    throw Error("The program holds no resource " + Quoted(name) + " of type " + Quoted(type));
  holder_ = bytes;
  path_ = *path;
  gsize size = 0;
  data_ = static_cast<const char*>(g_bytes_get_data(bytes, &size));
  size_ = size;
}

ResourceData::~ResourceData() { g_bytes_unref(static_cast<GBytes*>(holder_)); }

void ResourceToFile(std::string_view name, std::string_view type, const std::string& target_path) {
  const ResourceData resource(name, type);
  auto fail = [&](int err) {
    throw Error("Cannot write resource " + Quoted(name) + " to " + Quoted(target_path) + ": " + std::strerror(err));
  };
  const int fd = open(target_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) fail(errno);
  std::string_view rest = resource.bytes();
  while (!rest.empty()) {
    const ssize_t n = write(fd, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = n < 0 ? errno : EIO;
      close(fd);
      fail(err);
    }
    rest.remove_prefix(static_cast<size_t>(n));
  }
  // A full disk may only show when the last blocks are flushed.
  if (close(fd) != 0 && errno != EINTR) fail(errno);
}

}  // namespace coffer
