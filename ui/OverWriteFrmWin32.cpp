#include "ui/OverWriteFrmWin32.h"

#include <stdexcept>

#include "platform/file_icon-win32.h"
#include "ui/OverWriteFrm.h"
#include "ui/win32_util.h"

namespace coffer {
namespace {

using Id = OverWriteId;

// Lives as long as its window: deleted when the window has gone.
class OverWriteDialog final : win32::MessageTarget {
 public:
  OverWriteDialog(HWND owner, const std::string& existing_file, const std::string& new_file,
                  std::function<void(OverwriteAnswer)> done, const std::string& time_separator);
  HWND hwnd() const { return hwnd_; }

 private:
  bool OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void FileRow(Id image, win32::Icon& icon, const std::string& path, int top, Id size_id, const std::string& size,
               Id time_id, const std::string& time);
  HWND Button(Id id, const std::string& text, int x, int y);
  void Click(void (TfrmOverWrite::*click)());

  TfrmOverWrite form_;
  std::function<void(OverwriteAnswer)> done_;
  HWND owner_;
  HWND hwnd_ = nullptr;
  win32::Icon exists_icon_, new_icon_;
  bool close_requested_ = false;
};

// A path reads left to right in every language. Without the marks a path
// whose first folder has an Arabic name turns right to left as a whole, and
// a number after an Arabic folder name joins that folder's run.
std::string LeftToRightPath(const std::string& path) {
  const std::string mark = "\u200E";
  std::string out = mark;
  for (char c : path) {
    out += c;
    if (c == '\\' || c == '/') out += mark;
  }
  return out;
}

// The frame's place; the labels and images are placed within it.
constexpr int kFrameX = 8, kFrameY = 9;

OverWriteDialog::OverWriteDialog(HWND owner, const std::string& existing_file, const std::string& new_file,
                                 std::function<void(OverwriteAnswer)> done, const std::string& time_separator)
    : form_(existing_file, new_file, time_separator), done_(std::move(done)), owner_(owner) {
  form_.FormShow();
  const TfrmOverWrite::Texts& t = form_.texts();
  hwnd_ = win32::CreateDialogWindow(this, owner, 402, 272);
  if (hwnd_ == nullptr) throw std::runtime_error(win32::ErrorText(::GetLastError()));
  win32::SetText(hwnd_, t.caption);

  win32::CreateControl(hwnd_, WC_BUTTONW, BS_GROUPBOX, int(Id::GroupBox1), kFrameX, kFrameY, 386, 198);
  const auto label = [this](Id id, const std::string& text, int x, int y) {
    return win32::CreateLabel(hwnd_, int(id), text, kFrameX + x, kFrameY + y);
  };
  label(Id::Label1, t.Label1, 13, 9);
  label(Id::lblFile, LeftToRightPath(t.lblFile), 38, 28);
  label(Id::Label2, t.Label2, 13, 56);
  FileRow(Id::imgExists, exists_icon_, form_.existing_file(), 82, Id::lblExistsFile_Size, t.lblExistsFile_Size,
          Id::lblExistsFile_Time, t.lblExistsFile_Time);
  label(Id::Label5, t.Label5, 13, 128);
  FileRow(Id::imgNew, new_icon_, form_.new_file(), 154, Id::lblNewFile_Size, t.lblNewFile_Size,
          Id::lblNewFile_Time, t.lblNewFile_Time);

  // Created in the tab order: Yes, Yes to all, Auto rename, No, No to all,
  // Cancel.
  HWND yes = Button(Id::btnYes, t.btnYes, 23, 213);
  Button(Id::btnYesAll, t.btnYesAll, 155, 213);
  Button(Id::btnRename, t.btnRename, 287, 213);
  Button(Id::btnNo, t.btnNo, 23, 242);
  Button(Id::btnNoAll, t.btnNoAll, 155, 242);
  Button(Id::btnCancel, t.btnCancel, 287, 242);

  // A button closes the window only once its handler has returned.
  form_.set_on_close([this] { close_requested_ = true; });
  win32::Centre(hwnd_, owner);
  win32::ShowModal(hwnd_, owner, yes);
}

void OverWriteDialog::FileRow(Id image, win32::Icon& icon, const std::string& path, int top, Id size_id,
                              const std::string& size, Id time_id, const std::string& time) {
  icon = win32::Icon(FileIcon(path));
  HWND img = win32::CreateControl(hwnd_, WC_STATICW, SS_ICON, int(image), kFrameX + 40,
                                  kFrameY + top, 32, 32);
  if (icon.get() != nullptr) ::SendMessageW(img, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
  win32::CreateLabel(hwnd_, int(size_id), size, kFrameX + 93, kFrameY + top);
  win32::CreateLabel(hwnd_, int(time_id), time, kFrameX + 93, kFrameY + top + 19);
}

HWND OverWriteDialog::Button(Id id, const std::string& text, int x, int y) {
  HWND button = win32::CreateControl(hwnd_, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, int(id), x, y, 90, 25);
  win32::SetText(button, text);
  return button;
}

void OverWriteDialog::Click(void (TfrmOverWrite::*click)()) {
  (form_.*click)();
  if (close_requested_) ::DestroyWindow(hwnd_);  // deletes this
}

bool OverWriteDialog::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_CLOSE:  // the answer FormShow left: Yes
      ::DestroyWindow(hwnd_);
      return true;
    case WM_DESTROY:
      // The owner again before this window goes, so that it is activated.
      if (owner_ != nullptr) ::EnableWindow(owner_, TRUE);
      return false;
    case WM_NCDESTROY: {
      auto done = std::move(done_);
      const OverwriteAnswer answer = form_.answer();
      delete this;
      if (done) done(answer);
      return true;
    }
    case WM_COMMAND:
      if (HIWORD(wp) != BN_CLICKED) return false;
      switch (Id(LOWORD(wp))) {
        case Id::btnYes: Click(&TfrmOverWrite::btnYesClick); break;
        case Id::btnYesAll: Click(&TfrmOverWrite::btnYesAllClick); break;
        case Id::btnRename: Click(&TfrmOverWrite::btnRenameClick); break;
        case Id::btnNo: Click(&TfrmOverWrite::btnNoClick); break;
        case Id::btnNoAll: Click(&TfrmOverWrite::btnNoAllClick); break;
        case Id::btnCancel: Click(&TfrmOverWrite::btnCancelClick); break;
        default: break;  // IDOK, IDCANCEL: Escape does nothing
      }
      return true;
    default: return false;
  }
}

}  // namespace

HWND OpenOverwriteDialogWin32(HWND owner, const std::string& existing_file, const std::string& new_file,
                              std::function<void(OverwriteAnswer)> done, const std::string& time_separator) {
  return (new OverWriteDialog(owner, existing_file, new_file, std::move(done), time_separator))->hwnd();
}

}  // namespace coffer
