#pragma once
// A key press delivered to a window as GTK would deliver it from the
// keyboard, for the keyboard paths of the dialogs.
#include <gtk/gtk.h>

namespace coffer::test {

inline void PressKey(GtkWindow* window, guint keyval, guint state = 0) {
  GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(window))));
  event->key.keyval = keyval;
  event->key.state = state;
  event->key.send_event = TRUE;
  GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(GTK_WIDGET(window)));
  gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
  gtk_widget_event(GTK_WIDGET(window), event);
  gdk_event_free(event);
}

}  // namespace coffer::test
