#include "ui/gtk_util.h"

#include <string>

#include "platform/debug.h"

namespace coffer::gtk {

struct Source::State {
  Source* owner;
  std::function<bool()> tick;
};

gboolean Source::Dispatch(gpointer data) {
  auto* state = static_cast<State*>(data);
  try {
    return state->tick() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
  } catch (...) {
    // A timer whose handler failed stops rather than fail every tick.
    TraceCaughtException("timer");
    return G_SOURCE_REMOVE;
  }
}

// GLib runs this once the source is gone; while it is being dispatched that
// is only after the callback has returned, so the state outlives the call.
void Source::Destroyed(gpointer data) {
  auto* state = static_cast<State*>(data);
  if (state->owner) {
    state->owner->id_ = 0;
    state->owner->state_ = nullptr;
  }
  delete state;
}

void Source::Every(guint interval_ms, std::function<bool()> tick) {
  Cancel();
  state_ = new State{this, std::move(tick)};
  id_ = g_timeout_add_full(G_PRIORITY_DEFAULT, interval_ms, &Dispatch, state_, &Destroyed);
}

void Source::After(guint delay_ms, std::function<void()> fn) {
  Every(delay_ms, [fn = std::move(fn)] {
    fn();
    return false;
  });
}

void Source::Cancel() {
  if (!id_) return;
  const guint id = id_;
  state_->owner = nullptr;
  state_ = nullptr;
  id_ = 0;
  g_source_remove(id);
}

namespace detail {

void CheckSignal(gpointer instance, const char* signal, guint n_params, GType return_type) {
  guint id = 0;
  GQuark detail = 0;
  const GType type = G_TYPE_FROM_INSTANCE(instance);
  if (!g_signal_parse_name(signal, type, &id, &detail, FALSE))
    g_error("%s has no signal \"%s\"", g_type_name(type), signal);
  GSignalQuery query;
  g_signal_query(id, &query);
  if (query.n_params != n_params || (query.return_type & ~G_SIGNAL_TYPE_STATIC_SCOPE) != return_type)
    g_error("signal \"%s\" of %s: handler has %u parameters returning %s, signal %u returning %s", signal,
            g_type_name(type), n_params, g_type_name(return_type), query.n_params,
            g_type_name(query.return_type & ~G_SIGNAL_TYPE_STATIC_SCOPE));
}

}  // namespace detail

namespace {

bool CanTakeFocus(GtkWidget* w) {
  return gtk_widget_get_can_focus(w) && gtk_widget_is_sensitive(w) && gtk_widget_is_visible(w);
}

}  // namespace

void SetTabOrder(GtkWidget* window, std::vector<GtkWidget*> order) {
  Signal<gboolean(GtkWidget*, GdkEventKey*)>::Connect(
      window, "key-press-event", [order = std::move(order)](GtkWidget* w, GdkEventKey* key) -> gboolean {
        const bool tab = key->keyval == GDK_KEY_Tab || key->keyval == GDK_KEY_KP_Tab;
        const bool back_tab = key->keyval == GDK_KEY_ISO_Left_Tab;
        const auto mods = key->state & gtk_accelerator_get_default_mod_mask();
        if (!(tab || back_tab) || (mods & ~GDK_SHIFT_MASK) != 0) return FALSE;
        const bool backwards = back_tab || (mods & GDK_SHIFT_MASK);
        GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(w));
        const int n = static_cast<int>(order.size());
        int at = -1;
        for (int i = 0; i < n; ++i)
          if (order[i] == focus) at = i;
        if (at < 0) return FALSE;
        for (int step = 1; step < n; ++step) {
          GtkWidget* next = order[((backwards ? at - step : at + step) % n + n) % n];
          if (CanTakeFocus(next)) {
            gtk_widget_grab_focus(next);
            return TRUE;
          }
        }
        return TRUE;
      });
}

namespace {

struct Search {
  std::string_view name;
  GtkWidget* found = nullptr;
};

void Visit(GtkWidget* widget, gpointer data) {
  auto* search = static_cast<Search*>(data);
  if (search->found) return;
  if (search->name == gtk_widget_get_name(widget)) {
    search->found = widget;
    return;
  }
  if (GTK_IS_CONTAINER(widget)) gtk_container_forall(GTK_CONTAINER(widget), &Visit, data);
}

}  // namespace

GtkWidget* FindByName(GtkWidget* root, std::string_view name) {
  if (!root) return nullptr;
  Search search{name};
  Visit(root, &search);
  return search.found;
}

GtkWidget* FindToplevel(std::string_view name) {
  GList* all = gtk_window_list_toplevels();
  GtkWidget* found = nullptr;
  for (GList* l = all; l && !found; l = l->next) {
    auto* w = GTK_WIDGET(l->data);
    if (name == gtk_widget_get_name(w)) found = w;
  }
  for (GList* l = all; l && !found; l = l->next) {
    if (FindByName(GTK_WIDGET(l->data), name)) found = GTK_WIDGET(l->data);
  }
  g_list_free(all);
  return found;
}

bool ToplevelVisible(std::string_view name) {
  GList* all = gtk_window_list_toplevels();
  bool shown = false;
  for (GList* l = all; l; l = l->next) {
    auto* w = GTK_WIDGET(l->data);
    if (name == gtk_widget_get_name(w) && gtk_widget_get_mapped(w)) shown = true;
  }
  g_list_free(all);
  return shown;
}

}  // namespace coffer::gtk
