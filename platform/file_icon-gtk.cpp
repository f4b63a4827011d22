#include "platform/file_icon.h"

#include <gio/gio.h>
#include <gtk/gtk.h>

namespace coffer {
namespace {

// The type's own icon, else the generic one for unknown data, so that a
// file always gets a picture when the theme has any.
GIcon* ContentTypeIcon(const std::string& path) {
  GFile* file = g_file_new_for_path(path.c_str());
  GFileInfo* info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_ICON, G_FILE_QUERY_INFO_NONE,
                                      nullptr, nullptr);
  g_object_unref(file);
  GIcon* icon = nullptr;
  if (info != nullptr) {
    icon = g_file_info_get_icon(info);
    if (icon != nullptr) g_object_ref(icon);
    g_object_unref(info);
  }
  if (icon == nullptr) {
    gchar* type = g_content_type_guess(path.c_str(), nullptr, 0, nullptr);
    icon = g_content_type_get_icon(type);
    g_free(type);
  }
  return icon;
}

GdkPixbuf* Load(GtkIconTheme* theme, GIcon* icon, int size) {
  GtkIconInfo* found = gtk_icon_theme_lookup_by_gicon(
      theme, icon, size, static_cast<GtkIconLookupFlags>(GTK_ICON_LOOKUP_FORCE_SIZE | GTK_ICON_LOOKUP_USE_BUILTIN));
  if (found == nullptr) return nullptr;
  GdkPixbuf* pixbuf = gtk_icon_info_load_icon(found, nullptr);
  g_object_unref(found);
  return pixbuf;
}

}  // namespace

GdkPixbuf* FileIcon(const std::string& path, int size) {
  GtkIconTheme* theme = gtk_icon_theme_get_default();
  if (theme == nullptr) return nullptr;
  GIcon* icon = ContentTypeIcon(path);
  GdkPixbuf* pixbuf = icon != nullptr ? Load(theme, icon, size) : nullptr;
  if (icon != nullptr) g_object_unref(icon);
  if (pixbuf == nullptr) {
    GIcon* fallback = g_themed_icon_new("text-x-generic");
    pixbuf = Load(theme, fallback, size);
    g_object_unref(fallback);
  }
  return pixbuf;
}

}  // namespace coffer
