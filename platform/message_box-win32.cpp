#include "platform/main_thread.h"
#include "platform/message_box.h"
#include "platform/system-win32.h"

namespace coffer {
namespace {

UINT IconFlag(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kWarning: return MB_ICONWARNING;
    case MessageIcon::kQuestion: return MB_ICONQUESTION;
    case MessageIcon::kError: return MB_ICONERROR;
    case MessageIcon::kInformation: break;
  }
  return MB_ICONINFORMATION;
}

}  // namespace

// The system's box runs a modal loop of its own, so it is opened from the
// message queue: the caller gets on first, as it does with a dialog that
// answers later. The button texts are the system's own, in its language.
void ShowMessageBox(NativeWindow native_owner, const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) {
  HWND owner = static_cast<HWND>(native_owner);
  PostToMainThread([owner, spec, done = std::move(done)] {
    UINT flags = IconFlag(spec.icon) | (spec.buttons == MessageButtons::kOkCancel ? MB_OKCANCEL : MB_OK);
    DWORD layout = 0;
    if (::GetProcessDefaultLayout(&layout) && (layout & LAYOUT_RTL)) flags |= MB_RTLREADING | MB_RIGHT;
    // An owner gone meanwhile leaves the box on its own.
    HWND parent = owner != nullptr && ::IsWindow(owner) ? owner : nullptr;
    if (parent == nullptr) flags |= MB_TASKMODAL;
    const int pressed = ::MessageBoxW(parent, win32::Widen(spec.text).c_str(), win32::Widen(spec.caption).c_str(),
                                      flags);
    const MessageAnswer answer =
        pressed == IDOK || spec.buttons == MessageButtons::kOk ? MessageAnswer::kOk : MessageAnswer::kCancel;
    if (done) done(answer);
  });
}

}  // namespace coffer
