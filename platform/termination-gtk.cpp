#include "platform/termination.h"

#include <X11/Xlib.h>
#include <gdk/gdkwayland.h>
#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>

#include "platform/debug.h"

namespace coffer {
namespace {

std::function<void(int)>& OnSignal() {
  static auto* fn = new std::function<void(int)>;
  return *fn;
}

std::function<void()>& BeforeDisplayExit() {
  static auto* fn = new std::function<void()>;
  return *fn;
}

gboolean Received(gpointer data) {
  const int signal = GPOINTER_TO_INT(data);
  DebugLine("termination signal " + std::to_string(signal));
  try {
    if (OnSignal()) OnSignal()(signal);
  } catch (...) {
    TraceCaughtException("termination");
  }
  return G_SOURCE_CONTINUE;  // a second signal finds the same handling
}

int DisplayLost(Display*) {
  DebugLine("the display connection was lost");
  try {
    if (BeforeDisplayExit()) BeforeDisplayExit()();
  } catch (...) {
    TraceCaughtException("display loss");
  }
  // Xlib must not be used again, and neither must anything that would.
  ::_exit(1);
}

// GDK's Wayland back end, too, ends the process at once when the
// compositor goes: from its event source, on the first failed read or
// write. This source watches the same connection ahead of it (a higher
// priority: once it is ready, the main loop neither prepares nor checks
// GDK's source in that round), both for a hang-up that the poll reports
// and for one that came in the meantime, which its prepare looks for.
struct WaylandWatch {
  GSource source;
  GPollFD fd;
};

bool HungUp(int fd) {
  struct pollfd p = {fd, 0, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR)) != 0;
}

gboolean WaylandPrepare(GSource* source, gint* timeout) {
  *timeout = -1;
  return HungUp(reinterpret_cast<WaylandWatch*>(source)->fd.fd);
}

gboolean WaylandCheck(GSource* source) {
  return (reinterpret_cast<WaylandWatch*>(source)->fd.revents & (G_IO_HUP | G_IO_ERR)) != 0;
}

gboolean WaylandGone(GSource*, GSourceFunc, gpointer) {
  DisplayLost(nullptr);
  return G_SOURCE_REMOVE;
}

GSourceFuncs wayland_watch_funcs = {WaylandPrepare, WaylandCheck, WaylandGone, nullptr, nullptr, nullptr};

void WatchWaylandConnection(GdkDisplay* display) {
  GSource* source = g_source_new(&wayland_watch_funcs, sizeof(WaylandWatch));
  auto* watch = reinterpret_cast<WaylandWatch*>(source);
  watch->fd.fd = wl_display_get_fd(gdk_wayland_display_get_wl_display(display));
  watch->fd.events = G_IO_HUP | G_IO_ERR;
  g_source_add_poll(source, &watch->fd);
  g_source_set_priority(source, G_PRIORITY_HIGH);
  g_source_attach(source, nullptr);
  g_source_unref(source);
}

}  // namespace

void WatchTermination(std::function<void(int signal)> on_signal) {
  OnSignal() = std::move(on_signal);
  for (int signal : {SIGTERM, SIGHUP, SIGINT})
    g_unix_signal_add(signal, &Received, GINT_TO_POINTER(signal));
}

void ExitBySignal(int signal) {
  std::signal(signal, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  ::raise(signal);
  ::_exit(128 + signal);  // should the default action not end the process
}

void WatchDisplayLoss(std::function<void()> before_exit) {
  BeforeDisplayExit() = std::move(before_exit);
  // GDK's own handler ends the process without a word to the program;
  // this one stands in front of it.
  GdkDisplay* display = gdk_display_get_default();
  if (display && GDK_IS_X11_DISPLAY(display)) XSetIOErrorHandler(&DisplayLost);
  if (display && GDK_IS_WAYLAND_DISPLAY(display)) WatchWaylandConnection(display);
}

}  // namespace coffer
