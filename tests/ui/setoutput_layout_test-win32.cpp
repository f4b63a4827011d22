// The output folder dialog's Win32 window read back from the system: the
// client size, every control's place and size, the tab order and the focus.
#include <gtest/gtest.h>

#include "ui/SetOutputFrmWin32.h"

namespace coffer {
namespace {

using Id = SetOutputWindowWin32::Id;

struct Place {
  Id id;
  const char* name;
  int x, y, width, height;  // at 96 DPI, in the client area
};

// Label1 grows with its text (at least 40 wide), so only its corner is
// fixed.
constexpr Place kPlaces[] = {
    {Id::kLabel1, "Label1", 15, 13, 0, 0},          {Id::kEdOutput, "edOutput", 15, 35, 306, 21},
    {Id::kBtnBrowser, "btnBrowser", 331, 33, 35, 25}, {Id::kBtnOK, "btnOK", 155, 79, 90, 25},
    {Id::kBtnCancel, "btnCancel", 276, 79, 90, 25},
};

RECT ClientRectOf(HWND dialog, HWND control) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class SetOutputLayout : public ::testing::Test {
 protected:
  TfrmSetOutput form_{"C:\\Downloads\\"};
  SetOutputWindowWin32 view_{form_, nullptr};
  HWND Item(Id id) const { return ::GetDlgItem(view_.hwnd(), id); }
};

TEST_F(SetOutputLayout, ClientAreaIs380By120) {
  RECT client{};
  ::GetClientRect(view_.hwnd(), &client);
  EXPECT_EQ(client.right, win32::Scale(380));
  EXPECT_EQ(client.bottom, win32::Scale(120));
}

TEST_F(SetOutputLayout, ControlsStandAtTheirPlaces) {
  for (const Place& p : kPlaces) {
    SCOPED_TRACE(p.name);
    const RECT r = ClientRectOf(view_.hwnd(), Item(p.id));
    EXPECT_EQ(r.left, win32::Scale(p.x));
    EXPECT_EQ(r.top, win32::Scale(p.y));
    if (p.width == 0) continue;
    EXPECT_EQ(r.right - r.left, win32::Scale(p.width));
    EXPECT_EQ(r.bottom - r.top, win32::Scale(p.height));
  }
}

TEST_F(SetOutputLayout, TabGoesOkCancelFolderBrowseAndRoundAgain) {
  const Id order[] = {Id::kBtnOK, Id::kBtnCancel, Id::kEdOutput, Id::kBtnBrowser, Id::kBtnOK};
  for (size_t i = 0; i + 1 < std::size(order); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(::GetNextDlgTabItem(view_.hwnd(), Item(order[i]), FALSE), Item(order[i + 1]));
  }
}

TEST_F(SetOutputLayout, NoButtonIsTheDefaultOne) {
  for (Id id : {Id::kBtnOK, Id::kBtnCancel, Id::kBtnBrowser}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(::GetWindowLongPtrW(Item(id), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  }
}

TEST_F(SetOutputLayout, OpensWithOkFocusedAndTheProgramFolderProposed) {
  form_.ShowModal([] {});
  EXPECT_EQ(::GetFocus(), Item(Id::kBtnOK));
  EXPECT_EQ(form_.output_text(), "C:\\Downloads\\");
  form_.btnCancelClick();
}

}  // namespace
}  // namespace coffer
