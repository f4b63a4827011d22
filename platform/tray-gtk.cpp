#include "platform/tray.h"

#include <gtk/gtk.h>

#include <utility>

namespace coffer {

// GtkStatusIcon is deprecated in GTK 3 but still the one icon that X11
// notification areas embed; its use is confined to this file.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

struct TrayIcon::Impl {
  GtkStatusIcon* icon = nullptr;
  std::function<void()> activated;
  std::function<void(bool)> pending;
  guint wait_id = 0;
  gulong embedded_handler = 0;

  void Settle(bool shown) {
    if (wait_id) g_source_remove(wait_id);
    wait_id = 0;
    if (embedded_handler) g_signal_handler_disconnect(icon, embedded_handler);
    embedded_handler = 0;
    if (!shown) gtk_status_icon_set_visible(icon, FALSE);
    auto done = std::exchange(pending, nullptr);
    if (done) done(shown);
  }

  static void OnActivate(GtkStatusIcon*, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    if (self->activated) self->activated();
  }
  static void OnEmbedded(GObject*, GParamSpec*, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    if (gtk_status_icon_is_embedded(self->icon)) self->Settle(true);
  }
  static gboolean OnWaitOver(gpointer data) {
    auto* self = static_cast<Impl*>(data);
    self->wait_id = 0;
    self->Settle(gtk_status_icon_is_embedded(self->icon));
    return G_SOURCE_REMOVE;
  }
  static gboolean OnAlreadyEmbedded(gpointer data) {
    auto* self = static_cast<Impl*>(data);
    self->wait_id = 0;
    self->Settle(true);
    return G_SOURCE_REMOVE;
  }
};

TrayIcon::TrayIcon(std::string icon_name, std::string tooltip, std::function<void()> activated)
    : impl_(std::make_unique<Impl>()) {
  impl_->activated = std::move(activated);
  impl_->icon = gtk_status_icon_new_from_icon_name(icon_name.c_str());
  gtk_status_icon_set_visible(impl_->icon, FALSE);
  gtk_status_icon_set_tooltip_text(impl_->icon, tooltip.c_str());
  g_signal_connect(impl_->icon, "activate", G_CALLBACK(&Impl::OnActivate), impl_.get());
}

TrayIcon::~TrayIcon() {
  if (impl_->wait_id) g_source_remove(impl_->wait_id);
  g_signal_handlers_disconnect_by_data(impl_->icon, impl_.get());
  gtk_status_icon_set_visible(impl_->icon, FALSE);
  g_object_unref(impl_->icon);
}

void TrayIcon::Show(std::function<void(bool shown)> done) {
  impl_->Settle(false);  // a Show still waiting gives up first
  impl_->pending = std::move(done);
  gtk_status_icon_set_visible(impl_->icon, TRUE);
  if (gtk_status_icon_is_embedded(impl_->icon)) {
    impl_->wait_id = g_idle_add(&Impl::OnAlreadyEmbedded, impl_.get());
    return;
  }
  impl_->embedded_handler =
      g_signal_connect(impl_->icon, "notify::embedded", G_CALLBACK(&Impl::OnEmbedded), impl_.get());
  impl_->wait_id = g_timeout_add(kEmbedWaitMs, &Impl::OnWaitOver, impl_.get());
}

void TrayIcon::Hide() {
  impl_->Settle(false);
  gtk_status_icon_set_visible(impl_->icon, FALSE);
}

bool TrayIcon::Visible() const {
  return gtk_status_icon_get_visible(impl_->icon) && gtk_status_icon_is_embedded(impl_->icon);
}

void TrayIcon::set_tooltip(const std::string& tooltip) {
  gtk_status_icon_set_tooltip_text(impl_->icon, tooltip.c_str());
}

G_GNUC_END_IGNORE_DEPRECATIONS

}  // namespace coffer
