// The Win32 dialogs read back from the system: the client size, every
// control's place and size, the tab order, no default button, and the
// control that has the focus on opening.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/scratch.h"
#include "tests/ui/main_fakes.h"
#include "ui/MainFrmWin32.h"
#include "ui/OverWriteFrmWin32.h"
#include "ui/PasswordFrmWin32.h"
#include "ui/SetOutputFrmWin32.h"

namespace coffer {
namespace {

struct Place {
  int id;
  const char* name;
  int x, y, width, height;  // at 96 DPI, in the client area; a label's width 0: it grows with its text
};

struct Layout {
  int width, height;
  std::vector<Place> places;
  std::vector<int> tab_order;  // round to the first again
  std::vector<int> buttons;    // push buttons, none of them the default one
};

RECT ClientRectOf(HWND dialog, HWND control) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void ExpectLayout(HWND dialog, const Layout& layout) {
  RECT client{};
  ::GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, win32::Scale(layout.width));
  EXPECT_EQ(client.bottom, win32::Scale(layout.height));
  for (const Place& p : layout.places) {
    SCOPED_TRACE(p.name);
    const RECT r = ClientRectOf(dialog, ::GetDlgItem(dialog, p.id));
    EXPECT_EQ(r.left, win32::Scale(p.x));
    EXPECT_EQ(r.top, win32::Scale(p.y));
    if (p.width == 0) continue;
    EXPECT_EQ(r.right - r.left, win32::Scale(p.width));
    EXPECT_EQ(r.bottom - r.top, win32::Scale(p.height));
  }
  for (size_t i = 0; i < layout.tab_order.size(); ++i) {
    SCOPED_TRACE("tab stop " + std::to_string(i));
    const int next = layout.tab_order[(i + 1) % layout.tab_order.size()];
    EXPECT_EQ(::GetNextDlgTabItem(dialog, ::GetDlgItem(dialog, layout.tab_order[i]), FALSE),
              ::GetDlgItem(dialog, next));
  }
  // A focused push button is drawn as the one Enter presses, as the
  // system's dialogs do; the others never are.
  for (int id : layout.buttons) {
    SCOPED_TRACE(id);
    if (::GetDlgItem(dialog, id) == ::GetFocus()) continue;
    EXPECT_EQ(::GetWindowLongPtrW(::GetDlgItem(dialog, id), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  }
}

TEST(DialogLayout, OutputFolderDialog) {
  using W = SetOutputWindowWin32;
  TfrmSetOutput form{"C:\\Downloads\\"};
  W view{form, nullptr};
  ExpectLayout(view.hwnd(), {380, 120,
                             {{W::kLabel1, "Label1", 15, 13, 0, 0},
                              {W::kEdOutput, "edOutput", 15, 35, 306, 21},
                              {W::kBtnBrowser, "btnBrowser", 331, 33, 35, 25},
                              {W::kBtnOK, "btnOK", 155, 79, 90, 25},
                              {W::kBtnCancel, "btnCancel", 276, 79, 90, 25}},
                             {W::kBtnOK, W::kBtnCancel, W::kEdOutput, W::kBtnBrowser},
                             {W::kBtnOK, W::kBtnCancel, W::kBtnBrowser}});
  form.ShowModal([] {});
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(view.hwnd(), W::kBtnOK));
  EXPECT_EQ(form.output_text(), "C:\\Downloads\\");
  form.btnCancelClick();
}

TEST(DialogLayout, PasswordDialog) {
  using W = PasswordWindowWin32;
  TfrmPassword form;
  W view{form, nullptr};
  ExpectLayout(view.hwnd(), {284, 142,
                             {{W::kLblPassword, "lblPassword", 24, 13, 0, 0},
                              {W::kEdPassword, "edPassword", 24, 37, 236, 21},
                              {W::kChkDisplayPassword, "chkDisplayPassword", 24, 68, 169, 17},
                              {W::kBtnOK, "btnOK", 48, 101, 75, 25},
                              {W::kBtnCancel, "btnCancel", 168, 101, 75, 25}},
                             {W::kEdPassword, W::kBtnOK, W::kBtnCancel, W::kChkDisplayPassword},
                             {W::kBtnOK, W::kBtnCancel}});
  form.ShowModal([] {});
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(view.hwnd(), W::kEdPassword));
  form.btnCancelClick();
}

// The labels and images stand in the frame, 8 and 9 pixels in.
TEST(DialogLayout, OverwriteQuestion) {
  using I = OverWriteId;
  const auto id = [](I i) { return int(i); };
  const auto in_frame = [&](I i, const char* name, int x, int y, int w = 0, int h = 0) {
    return Place{id(i), name, 8 + x, 9 + y, w, h};
  };
  test::ScratchDir dir;
  test::WriteFile(dir / "old/a.txt", "old");
  test::WriteFile(dir / "new/a.txt", "new");
  bool answered = false;
  HWND dialog = OpenOverwriteDialogWin32(nullptr, dir / "old/a.txt", dir / "new/a.txt",
                                         [&](OverwriteAnswer) { answered = true; });
  ExpectLayout(dialog, {402, 272,
                        {{id(I::GroupBox1), "GroupBox1", 8, 9, 386, 198},
                         in_frame(I::Label1, "Label1", 13, 9), in_frame(I::lblFile, "lblFile", 38, 28),
                         in_frame(I::Label2, "Label2", 13, 56), in_frame(I::imgExists, "imgExists", 40, 82, 32, 32),
                         in_frame(I::lblExistsFile_Size, "lblExistsFile_Size", 93, 82),
                         in_frame(I::lblExistsFile_Time, "lblExistsFile_Time", 93, 101),
                         in_frame(I::Label5, "Label5", 13, 128), in_frame(I::imgNew, "imgNew", 40, 154, 32, 32),
                         in_frame(I::lblNewFile_Size, "lblNewFile_Size", 93, 154),
                         in_frame(I::lblNewFile_Time, "lblNewFile_Time", 93, 173),
                         {id(I::btnYes), "btnYes", 23, 213, 90, 25},
                         {id(I::btnYesAll), "btnYesAll", 155, 213, 90, 25},
                         {id(I::btnRename), "btnRename", 287, 213, 90, 25},
                         {id(I::btnNo), "btnNo", 23, 242, 90, 25},
                         {id(I::btnNoAll), "btnNoAll", 155, 242, 90, 25},
                         {id(I::btnCancel), "btnCancel", 287, 242, 90, 25}},
                        {id(I::btnYes), id(I::btnYesAll), id(I::btnRename), id(I::btnNo), id(I::btnNoAll),
                         id(I::btnCancel)},
                        {id(I::btnYes), id(I::btnYesAll), id(I::btnRename), id(I::btnNo), id(I::btnNoAll),
                         id(I::btnCancel)}});
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, id(I::btnYes)));
  ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id(I::btnCancel), BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id(I::btnCancel))));
  EXPECT_TRUE(test::SpinUntil([&] { return answered; }));
}

// The progress window's captions have the design's width at least; a
// longer one widens its label and moves its value along, which keeps to
// the pair's room (the next pair, or the frame's edge).
TEST(DialogLayout, ProgressCaptionsMoveTheirValuesAlong) {
  using W = MainWindowWin32;
  TfrmSetOutput set_output{"C:\\Downloads\\"};
  TfrmPassword password;
  test::JobScript job;
  TfrmMain form{set_output, password, 0x0409, test::ScriptedFactory(job)};
  W view{form, [] {}};
  HWND w = view.hwnd();
  MainView::Texts texts;
  texts.lblTotalSize_Tip = "Total:";
  texts.lblSpeed_Tip = "Speed:";
  texts.lblTime_Used_Tip = "Verstrichene Zeit bis jetzt:";
  texts.lblTime_Left_Tip = "Remaining:";
  view.ApplyTexts(texts);
  const auto rect = [&](int id) { return ClientRectOf(w, ::GetDlgItem(w, id)); };
  // Short captions keep the design's places.
  EXPECT_EQ(rect(W::kLblTotalSize).left, win32::Scale(24 + 86 + 2));
  EXPECT_EQ(rect(W::kLblTime_Left).left, win32::Scale(200 + 86 + 2));
  // The long one: its whole text shows, its value follows it and ends where
  // the pair's room ends.
  const RECT tip = rect(W::kLblTime_Used_Tip), value = rect(W::kLblTime_Used);
  EXPECT_GT(tip.right - tip.left, win32::Scale(86));
  EXPECT_EQ(value.left, tip.right + win32::Scale(2));
  EXPECT_EQ(value.right, win32::Scale(24 + 86 + 2 + 84));
}

}  // namespace
}  // namespace coffer
