#pragma once
// T7zPlugin: the engine module loaded by path, with its object factory.
// Reference counted: the object deletes itself when the last reference goes
// (descendants hand it out as interfaces). The module stays loaded until
// the plugin and every library object made through it are gone.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/module.h"
#include "sevenzip/reader.h"

namespace coffer::sevenzip {

class T7zPlugin {
 public:
  // Loads `module_path` as given. Throws coffer::Error:
  // "Error loading library <path>" when it cannot be loaded,
  // "<path> is not a 7z library" when it has no CreateObject (released).
  explicit T7zPlugin(const std::string& module_path);
  virtual ~T7zPlugin();
  T7zPlugin(const T7zPlugin&) = delete;
  T7zPlugin& operator=(const T7zPlugin&) = delete;

  // Calls the factory. A negative result raises std::system_error with the
  // code's text; any other result (1 too) is success and leaves the object
  // the factory gave (one reference for the caller) in `object`.
  void CreateEngineObject(const Guid& class_id, const Guid& interface_id, void** object);

  const std::string& module_path() const { return path_; }
  // Shared with every library object, which keeps the module loaded.
  const std::shared_ptr<Module>& module() const { return module_; }

 protected:
  uint32_t AddRefPlugin() { return ++refs_; }
  uint32_t ReleasePlugin();

 private:
  std::string path_;
  std::shared_ptr<Module> module_;
  void* create_object_ = nullptr;  // the module's CreateObject (its type: see the .cpp)
  std::atomic<uint32_t> refs_{1};
};

}  // namespace coffer::sevenzip
