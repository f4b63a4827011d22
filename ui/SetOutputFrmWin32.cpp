#include "ui/SetOutputFrmWin32.h"

#include "i18n/texts.h"
#include "platform/folder_picker.h"

namespace coffer {

SetOutputWindowWin32::SetOutputWindowWin32(TfrmSetOutput& form, HWND owner)
    : form_(form), owner_(owner), window_(win32::CreateDialogWindow(this, owner, 380, 120)) {
  using win32::CreateControl;
  HWND w = hwnd();
  // Created in the tab order: OK, Cancel, the folder, browse. The label
  // stands just before the edit box, whose mnemonic it carries.
  btnOK_ = CreateControl(w, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, kBtnOK, 155, 79, 90, 25);
  btnCancel_ = CreateControl(w, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, kBtnCancel, 276, 79, 90, 25);
  label1_ = win32::CreateLabel(w, kLabel1, "", 15, 13, 40, 13, SS_LEFT);
  edOutput_ = CreateControl(w, WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, kEdOutput, 15, 35, 306, 21, WS_EX_CLIENTEDGE);
  HWND browse = CreateControl(w, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, kBtnBrowser, 331, 33, 35, 25);
  win32::SetText(browse, "...");
  win32::Centre(w);
  form_.set_view(this);
}

SetOutputWindowWin32::~SetOutputWindowWin32() { form_.set_view(nullptr); }

void SetOutputWindowWin32::ApplyTexts(const Texts& t) {
  win32::SetText(hwnd(), t.caption);
  win32::SetText(label1_, t.Label1);
  win32::FitLabel(label1_, 40, 13);
  win32::SetText(btnOK_, t.btnOK);
  win32::SetText(btnCancel_, t.btnCancel);
}

std::string SetOutputWindowWin32::OutputText() const { return win32::GetText(edOutput_); }

void SetOutputWindowWin32::SetOutputText(const std::string& text) { win32::SetText(edOutput_, text); }

void SetOutputWindowWin32::ShowModal() { win32::ShowModal(hwnd(), owner_, btnOK_); }

void SetOutputWindowWin32::Hide() { win32::HideModal(hwnd(), owner_); }

void SetOutputWindowWin32::PickFolder(const std::string& title, const std::string& initial,
                                      std::function<void(std::optional<std::string>)> done) {
  FolderPickerSpec spec;
  spec.title = title;
  spec.initial = initial;
  coffer::PickFolder(hwnd(), spec, std::move(done));
}

bool SetOutputWindowWin32::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  result = 0;
  if (msg == WM_CLOSE) {
    form_.FormClose();
    return true;
  }
  if (msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED) return false;
  switch (LOWORD(wp)) {
    case kBtnOK: form_.btnOKClick(); return true;
    case kBtnCancel: form_.btnCancelClick(); return true;
    case kBtnBrowser: form_.btnBrowserClick(); return true;
    default: return true;  // IDOK, IDCANCEL: Enter and Escape elsewhere do nothing
  }
}

}  // namespace coffer
