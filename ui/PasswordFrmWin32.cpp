#include "ui/PasswordFrmWin32.h"

namespace coffer {

PasswordWindowWin32::PasswordWindowWin32(TfrmPassword& form, HWND owner)
    : form_(form), owner_(owner), window_(win32::CreateDialogWindow(this, owner, 284, 142)) {
  using win32::CreateControl;
  HWND w = hwnd();
  // Created in the tab order: the entry, OK, Cancel, the tick box; the
  // label just before the entry, whose mnemonic it carries.
  lblPassword_ = win32::CreateLabel(w, kLblPassword, "", 24, 13, 48, 13, SS_LEFT);
  edPassword_ = CreateControl(w, WC_EDITW, ES_AUTOHSCROLL | ES_PASSWORD | WS_TABSTOP, kEdPassword, 24, 37, 236, 21,
                              WS_EX_CLIENTEDGE);
  btnOK_ = CreateControl(w, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, kBtnOK, 48, 101, 75, 25);
  btnCancel_ = CreateControl(w, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, kBtnCancel, 168, 101, 75, 25);
  chkDisplayPassword_ =
      CreateControl(w, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, kChkDisplayPassword, 24, 68, 169, 17);
  SetMasked(true);
  win32::Centre(w);
  form_.set_view(this);
}

PasswordWindowWin32::~PasswordWindowWin32() { form_.set_view(nullptr); }

void PasswordWindowWin32::ApplyTexts(const Texts& t) {
  win32::SetText(hwnd(), t.caption);
  win32::SetText(lblPassword_, t.lblPassword);
  win32::FitLabel(lblPassword_, 48, 13);
  win32::SetText(chkDisplayPassword_, t.chkDisplayPassword);
  win32::SetText(btnOK_, t.btnOK);
  win32::SetText(btnCancel_, t.btnCancel);
}

std::string PasswordWindowWin32::PasswordText() const { return win32::GetText(edPassword_); }

void PasswordWindowWin32::SetMasked(bool masked) {
  ::SendMessageW(edPassword_, EM_SETPASSWORDCHAR, masked ? L'*' : 0, 0);
  ::InvalidateRect(edPassword_, nullptr, TRUE);
}

void PasswordWindowWin32::ShowModal() { win32::ShowModal(hwnd(), owner_, edPassword_); }

void PasswordWindowWin32::FocusPassword() { win32::FocusControl(hwnd(), edPassword_); }

void PasswordWindowWin32::Hide() { win32::HideModal(hwnd(), owner_); }

void PasswordWindowWin32::ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) {
  ShowMessageBox(hwnd(), spec, std::move(done));
}

bool PasswordWindowWin32::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  result = 0;
  if (msg == WM_CLOSE) {
    form_.FormClose();
    return true;
  }
  if (msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED) return false;
  switch (LOWORD(wp)) {
    case kBtnOK: form_.btnOKClick(); return true;
    case kBtnCancel: form_.btnCancelClick(); return true;
    case kChkDisplayPassword:
      form_.chkDisplayPasswordClick(::SendMessageW(chkDisplayPassword_, BM_GETCHECK, 0, 0) == BST_CHECKED);
      return true;
    default: return true;  // IDOK, IDCANCEL: Enter in the entry and Escape do nothing
  }
}

}  // namespace coffer
