#include "platform/termination.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>
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
  // this one stands in front of it on X11 displays.
  GdkDisplay* display = gdk_display_get_default();
  if (display && GDK_IS_X11_DISPLAY(display)) XSetIOErrorHandler(&DisplayLost);
}

}  // namespace coffer
