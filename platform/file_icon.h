#pragma once
// The desktop's icon for a file's type, as the overwrite dialog shows it.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string>

namespace coffer {

// The icon theme's icon for the content type of the file at `path`,
// `size` pixels square: a new reference, or nullptr when the theme has
// none. Needs GTK to be initialised (the icon theme is the screen's).
GdkPixbuf* FileIcon(const std::string& path, int size = 32);

}  // namespace coffer
