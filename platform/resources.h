#pragma once
// Named resources compiled into the program (GLib resources under
// /coffer/<type>/<name>): the language files and the engine module, all of
// type "FILE". Names and types compare case-insensitively, so "lang_english"
// finds "Lang_English".
#include <optional>
#include <string>
#include <string_view>

namespace coffer {

// The resource path ("/coffer/FILE/Lang_English") of `name` of `type`, or
// nothing when the program holds no such resource.
std::optional<std::string> FindProgramResource(std::string_view name, std::string_view type);

// The bytes of a resource, held where the program keeps them (no copy).
class ResourceData {
 public:
  // Throws coffer::Error naming the resource when there is none.
  ResourceData(std::string_view name, std::string_view type);
  ~ResourceData();
  ResourceData(const ResourceData&) = delete;
  ResourceData& operator=(const ResourceData&) = delete;

  std::string_view bytes() const { return {data_, size_}; }
  const std::string& path() const { return path_; }

 private:
  void* holder_ = nullptr;  // the system's object that keeps the bytes
  const char* data_ = nullptr;
  size_t size_ = 0;
  std::string path_;
};

// Creates (or truncates) `target_path` and writes the resource into it
// whole. Throws coffer::Error naming the resource or the file, with the
// system's reason, when the resource is missing or the file cannot be
// created or written.
void ResourceToFile(std::string_view name, std::string_view type, const std::string& target_path);

}  // namespace coffer
