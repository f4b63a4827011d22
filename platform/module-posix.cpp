#include <dlfcn.h>

#include "platform/module.h"

namespace coffer {

Module::Module(const std::string& path, std::string* reason) {
  // RTLD_LOCAL keeps the module's symbols out of everything loaded later,
  // so two engine modules in one process never bind to each other.
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_ && reason) {
    const char* text = ::dlerror();
    *reason = text ? text : "";
  }
}

void* Module::Symbol(const char* name) const {
  if (!handle_) return nullptr;
  ::dlerror();
  return ::dlsym(handle_, name);
}

void Module::Release() {
  if (handle_) {
    ::dlclose(handle_);
    handle_ = nullptr;
  }
}

}  // namespace coffer
