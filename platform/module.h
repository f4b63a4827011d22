#pragma once
// A shared module loaded at run time by path, with its exported entry points
// looked up by name. The module is released when the object goes.
#include <string>

namespace coffer {

class Module {
 public:
  Module() = default;
  // Loads `path` as given; on failure the object stays empty and `reason`
  // (when given) receives the system's explanation.
  explicit Module(const std::string& path, std::string* reason = nullptr);
  ~Module() { Release(); }
  Module(Module&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  Module& operator=(Module&& other) noexcept {
    if (this != &other) {
      Release();
      handle_ = other.handle_;
      other.handle_ = nullptr;
    }
    return *this;
  }
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  // The address of exported `name`, or nullptr when the module has none.
  void* Symbol(const char* name) const;
  // Unloads now; the object is empty afterwards.
  void Release();

 private:
  void* handle_ = nullptr;
};

}  // namespace coffer
