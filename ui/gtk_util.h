#pragma once
// Small helpers over GTK's C API shared by the views: a holder for GObject
// references, an owned toplevel, GSources that remove themselves, signals
// connected through type-checked trampolines, and name look-ups for tests.
#include <gtk/gtk.h>

#include <functional>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/debug.h"

namespace coffer::gtk {

// One reference to a GObject, dropped when the holder goes.
template <typename T>
class Ref {
 public:
  Ref() = default;
  static Ref Adopt(T* p) { Ref r; r.p_ = p; return r; }  // takes over a full reference
  static Ref Share(T* p) { if (p) g_object_ref(p); return Adopt(p); }
  static Ref Sink(T* p) { if (p) g_object_ref_sink(p); return Adopt(p); }  // floating ones
  Ref(const Ref& o) : p_(o.p_) { if (p_) g_object_ref(p_); }
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  Ref& operator=(Ref o) noexcept { std::swap(p_, o.p_); return *this; }
  ~Ref() { reset(); }
  void reset() { if (T* p = std::exchange(p_, nullptr)) g_object_unref(p); }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// A toplevel window or dialog that its holder owns: GTK keeps toplevels
// alive on its own list, so dropping a reference is not enough to free one.
class OwnedWindow {
 public:
  OwnedWindow() = default;
  explicit OwnedWindow(GtkWidget* toplevel) : ref_(Ref<GtkWidget>::Share(toplevel)) {}
  OwnedWindow(OwnedWindow&&) noexcept = default;
  OwnedWindow& operator=(OwnedWindow&& o) noexcept { reset(); ref_ = std::move(o.ref_); return *this; }
  ~OwnedWindow() { reset(); }
  void reset() {
    if (ref_) gtk_widget_destroy(ref_.get());
    ref_.reset();
  }
  GtkWidget* get() const { return ref_.get(); }
  GtkWindow* window() const { return GTK_WINDOW(ref_.get()); }

 private:
  Ref<GtkWidget> ref_;
};

// A timeout or idle callback on the default main context. Cancelling, or
// the holder going, removes it; either may happen inside the callback.
class Source {
 public:
  Source() = default;
  Source(const Source&) = delete;
  Source& operator=(const Source&) = delete;
  ~Source() { Cancel(); }

  // Runs `tick` every `interval_ms` while it returns true.
  void Every(guint interval_ms, std::function<bool()> tick);
  // Runs `fn` once after `delay_ms`.
  void After(guint delay_ms, std::function<void()> fn);
  void Cancel();
  bool Active() const { return id_ != 0; }

 private:
  struct State;
  static gboolean Dispatch(gpointer data);
  static void Destroyed(gpointer data);
  guint id_ = 0;
  State* state_ = nullptr;
};

namespace detail {
// Aborts with a readable message unless `signal` exists on `instance`'s
// type with `n_params` parameters and the given return type.
void CheckSignal(gpointer instance, const char* signal, guint n_params, GType return_type);

template <typename R>
constexpr GType ReturnGType() {
  if constexpr (std::is_void_v<R>) return G_TYPE_NONE;
  else if constexpr (std::is_same_v<R, gboolean>) return G_TYPE_BOOLEAN;
  else static_assert(!sizeof(R), "signal return type not supported");
}
}  // namespace detail

template <typename Signature>
struct Signal;

// Signature is the signal's C handler type without the trailing user data,
// e.g. void(GtkButton*) for "clicked" or gboolean(GtkWidget*, GdkEvent*)
// for "delete-event". The trampoline has exactly that C signature, so no
// function is ever called through a pointer of another type; the parameter
// count and return type are also checked against the signal at run time.
template <typename R, typename Instance, typename... Args>
struct Signal<R(Instance*, Args...)> {
  template <typename F>
  static gulong Connect(Instance* instance, const char* signal, F fn) {
    static_assert(std::is_invocable_r_v<R, F&, Instance*, Args...>,
                  "handler does not match the signal's signature");
    detail::CheckSignal(instance, signal, sizeof...(Args), detail::ReturnGType<R>());
    return g_signal_connect_data(instance, signal, G_CALLBACK(&Trampoline<F>), new F(std::move(fn)),
                                 &Free<F>, GConnectFlags(0));
  }

 private:
  template <typename F>
  static R Trampoline(Instance* instance, Args... args, gpointer data) {
    try {
      return (*static_cast<F*>(data))(instance, args...);
    } catch (...) {
      TraceCaughtException("signal handler");
      return R();
    }
  }
  template <typename F>
  static void Free(gpointer data, GClosure*) { delete static_cast<F*>(data); }
};

// The connections the views make most.
inline gulong OnClicked(GtkButton* button, std::function<void()> fn) {
  return Signal<void(GtkButton*)>::Connect(button, "clicked",
                                           [fn = std::move(fn)](GtkButton*) { fn(); });
}
inline gulong OnToggled(GtkToggleButton* button, std::function<void(bool)> fn) {
  return Signal<void(GtkToggleButton*)>::Connect(
      button, "toggled", [fn = std::move(fn)](GtkToggleButton* b) { fn(gtk_toggle_button_get_active(b)); });
}
inline gulong OnResponse(GtkDialog* dialog, std::function<void(int)> fn) {
  return Signal<void(GtkDialog*, gint)>::Connect(dialog, "response",
                                                 [fn = std::move(fn)](GtkDialog*, gint id) { fn(id); });
}
// `fn` answers whether the close request is refused (true keeps the window).
inline gulong OnDeleteEvent(GtkWidget* window, std::function<bool()> fn) {
  return Signal<gboolean(GtkWidget*, GdkEvent*)>::Connect(
      window, "delete-event", [fn = std::move(fn)](GtkWidget*, GdkEvent*) -> gboolean { return fn(); });
}

// Tab and Shift+Tab move the focus through `order` in that order, wrapping
// at both ends and passing over what cannot take the focus now, in place
// of GTK's order by position. Focus outside `order` moves as GTK moves it.
void SetTabOrder(GtkWidget* window, std::vector<GtkWidget*> order);

// The first widget named `name` (gtk_widget_set_name) at or below `root`,
// internal children included; nullptr when there is none.
GtkWidget* FindByName(GtkWidget* root, std::string_view name);
// The first toplevel whose own name is `name`, or that holds such a widget.
GtkWidget* FindToplevel(std::string_view name);
// Whether a toplevel named `name` is shown (mapped) now.
bool ToplevelVisible(std::string_view name);

}  // namespace coffer::gtk
