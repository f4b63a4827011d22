#pragma once
// T7zArchive: a plugin that is a format library (it must also export
// GetHandlerProperty) and the class id of the format handler to create.
#include <string>

#include "sevenzip/t7z_plugin.h"

namespace coffer::sevenzip {

class T7zArchive : public T7zPlugin {
 public:
  // As T7zPlugin, and throws coffer::Error "<path> is not a Format library"
  // (with the module released) when GetHandlerProperty is missing.
  explicit T7zArchive(const std::string& module_path);

  void SetFormatClassIdValue(const Guid& id) { format_class_id_ = id; }
  const Guid& FormatClassIdValue() const { return format_class_id_; }

 private:
  // Looked up and kept, never called.
  void* format_entry_ = nullptr;
  Guid format_class_id_{};
};

}  // namespace coffer::sevenzip
