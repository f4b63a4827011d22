#include "platform/error.h"
#include "platform/resources.h"
#include "platform/system-win32.h"

namespace coffer {
namespace {

std::string Quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

// The system compares resource names and types case-insensitively.
HRSRC Find(std::string_view name, std::string_view type) {
  if (name.empty() || type.empty()) return nullptr;
  return ::FindResourceW(nullptr, win32::Widen(name).c_str(), win32::Widen(type).c_str());
}

}  // namespace

std::optional<std::string> FindProgramResource(std::string_view name, std::string_view type) {
  if (!Find(name, type)) return std::nullopt;
  return std::string(type) + "/" + std::string(name);
}

ResourceData::ResourceData(std::string_view name, std::string_view type) {
  const HRSRC found = Find(name, type);
  const HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data) throw Error("The program holds no resource " + Quoted(name) + " of type " + Quoted(type));
  // Resources stay mapped with the program's image: nothing to release.
  data_ = static_cast<const char*>(data);
  size_ = ::SizeofResource(nullptr, found);
  path_ = std::string(type) + "/" + std::string(name);
}

ResourceData::~ResourceData() = default;

void ResourceToFile(std::string_view name, std::string_view type, const std::string& target_path) {
  const ResourceData resource(name, type);
  auto fail = [&](DWORD err) {
    throw Error("Cannot write resource " + Quoted(name) + " to " + Quoted(target_path) + ": " + win32::ErrorText(err));
  };
  win32::Handle file(::CreateFileW(win32::LongPath(target_path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) fail(::GetLastError());
  std::string_view rest = resource.bytes();
  while (!rest.empty()) {
    DWORD n = 0;
    if (!::WriteFile(file.get(), rest.data(), static_cast<DWORD>(rest.size()), &n, nullptr)) fail(::GetLastError());
    if (n == 0) fail(ERROR_WRITE_FAULT);
    rest.remove_prefix(n);
  }
  // A full disk may only show when the last blocks are flushed.
  if (!::FlushFileBuffers(file.get())) fail(::GetLastError());
  file.Close();
}

}  // namespace coffer
