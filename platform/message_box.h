#pragma once
// Message boxes: a modal dialog owned by a window, with the application
// title as caption, one icon and OK or OK and Cancel. Showing one returns at
// once; the answer arrives in a callback after the box has been freed, so
// no caller runs a nested main loop.
#include <functional>
#include <string>

#include "platform/native_window.h"

namespace coffer {

enum class MessageIcon { kInformation, kWarning, kQuestion, kError };
enum class MessageButtons { kOk, kOkCancel };
enum class MessageAnswer { kOk, kCancel };

struct MessageBoxSpec {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::kInformation;
  MessageButtons buttons = MessageButtons::kOk;
  // Button texts in GTK's mnemonic form ("_" before the letter).
  std::string ok_label = "_OK";
  std::string cancel_label = "_Cancel";
};

// The widget name of every message box, for tests.
inline constexpr char kMessageBoxName[] = "MessageBox";

// Shows the box over `owner` (may be null). Escape or the close box answer
// Cancel where there is one, else OK. `done` may be empty.
void ShowMessageBox(NativeWindow owner, const MessageBoxSpec& spec,
                    std::function<void(MessageAnswer)> done = {});

}  // namespace coffer
