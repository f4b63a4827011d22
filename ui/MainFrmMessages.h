#pragma once
// The message boxes of the program's windows: the application title as
// caption and the language file's OK and Cancel.
#include <string>

#include "i18n/texts.h"
#include "platform/message_box.h"

namespace coffer {

inline MessageBoxSpec AppMessage(std::string text, MessageIcon icon,
                                 MessageButtons buttons = MessageButtons::kOk) {
  MessageBoxSpec spec;
  spec.text = std::move(text);
  spec.caption = i18n::Text("01000000");
  spec.icon = icon;
  spec.buttons = buttons;
  spec.ok_label = i18n::ToMnemonic(i18n::Text("02000702"));
  spec.cancel_label = i18n::ToMnemonic(i18n::Text("02000710"));
  return spec;
}

}  // namespace coffer
