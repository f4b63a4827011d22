#pragma once
// Owning pointers to reference-counted objects of the library's kind
// (AddRef/Release). EnginePtr also keeps the module that made the object
// loaded until the object is released, so unloading can never pull code
// out from under a live library object.
#include <memory>
#include <utility>

#include "platform/module.h"

namespace coffer::sevenzip {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over one reference the caller already holds.
  static ComPtr Adopt(T* p) { ComPtr c; c.p_ = p; return c; }
  // Adds a reference of its own.
  static ComPtr Share(T* p) { if (p) p->AddRef(); return Adopt(p); }
  ComPtr(const ComPtr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }
  ~ComPtr() { reset(); }

  void reset() { if (T* p = std::exchange(p_, nullptr)) p->Release(); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Hands the reference to a caller (an out parameter of the library's).
  T* Detach() { return std::exchange(p_, nullptr); }

 private:
  T* p_ = nullptr;
};

template <class T>
class EnginePtr {
 public:
  EnginePtr() = default;
  EnginePtr(T* adopted, std::shared_ptr<Module> module) : module_(std::move(module)), p_(adopted) {}
  EnginePtr(EnginePtr&& o) noexcept : module_(std::move(o.module_)), p_(std::exchange(o.p_, nullptr)) {}
  EnginePtr& operator=(EnginePtr&& o) noexcept {
    if (this != &o) {
      reset();
      p_ = std::exchange(o.p_, nullptr);
      module_ = std::move(o.module_);
    }
    return *this;
  }
  EnginePtr(const EnginePtr&) = delete;
  EnginePtr& operator=(const EnginePtr&) = delete;
  ~EnginePtr() { reset(); }

  // Releases the object first, then (if it was the last holder) the module.
  void reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
    module_.reset();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  std::shared_ptr<Module> module_;
  T* p_ = nullptr;
};

}  // namespace coffer::sevenzip
