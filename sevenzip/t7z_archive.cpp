#include "sevenzip/t7z_archive.h"

#include "platform/error.h"

namespace coffer::sevenzip {

T7zArchive::T7zArchive(const std::string& module_path) : T7zPlugin(module_path) {
  format_entry_ = module()->Symbol("GetHandlerProperty");
  // Throwing from here runs ~T7zPlugin, which releases the module once.
  if (!format_entry_) throw Error(module_path + " is not a Format library");
}

}  // namespace coffer::sevenzip
