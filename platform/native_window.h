#pragma once
// A window as the system's own windowing knows it, for the dialogs that
// take an owner: a GtkWindow* with GTK, an HWND on Windows; null for none.
// Only each system's files look inside.

namespace coffer {

using NativeWindow = void*;

}  // namespace coffer
