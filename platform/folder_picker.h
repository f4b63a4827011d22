#pragma once
// The folder browser: a modal chooser of file-system folders with an owner,
// a title and an initial folder. The choice arrives in a callback after the
// chooser has been freed: with GTK PickFolder returns at once, on Windows
// the system's browser is modal and the callback runs before it returns.
#include <functional>
#include <optional>
#include <string>

#include "platform/native_window.h"

namespace coffer {

struct FolderPickerSpec {
  std::string title;
  std::string initial;  // opened on when it names an existing folder
  std::string accept_label = "_OK";  // GTK's mnemonic form ("_")
  std::string cancel_label = "_Cancel";
};

// The widget name of the chooser, for tests.
inline constexpr char kFolderPickerName[] = "FolderPicker";

// `done` gets the chosen folder's full path as the system gives it (no
// trailing "/" but for the root), or nothing when the chooser was cancelled
// or the choice has no local path.
void PickFolder(NativeWindow owner, const FolderPickerSpec& spec,
                std::function<void(std::optional<std::string>)> done);

}  // namespace coffer
