#include "platform/module.h"
#include "platform/system-win32.h"

namespace coffer {

Module::Module(const std::string& path, std::string* reason) {
  handle_ = ::LoadLibraryW(win32::Widen(path).c_str());
  if (!handle_ && reason) *reason = win32::ErrorText(::GetLastError());
}

void* Module::Symbol(const char* name) const {
  if (!handle_) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void Module::Release() {
  if (handle_) {
    ::FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
  }
}

}  // namespace coffer
