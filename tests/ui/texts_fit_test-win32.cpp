// Every button's and tick box's text, in each of the ten languages, fits
// the control it stands on in the Win32 windows, measured with the windows'
// own font: the controls have fixed sizes there, and a longer text is cut.
#include <gtest/gtest.h>

#include "i18n/texts.h"
#include "platform/resources.h"
#include "platform/system-win32.h"
#include "tests/support/scratch.h"
#include "ui/win32_util.h"

namespace coffer {
namespace {

struct Control {
  const char* key;
  int width;      // at 96 DPI
  int decoration; // what the control itself takes of that width
};

// Push buttons keep a few pixels for their edge and the focus frame; a
// tick box keeps its box and the gap after it.
constexpr int kButton = 6;
constexpr int kTickBox = 20;
constexpr Control kControls[] = {
    {"02000702", 75, kButton},  {"02000710", 75, kButton},  // the password dialog's, the narrowest
    {"02000705", 90, kButton},  {"02000707", 90, kButton},  {"02000709", 90, kButton},
    {"0200070B", 90, kButton},  {"02000911", 90, kButton},  {"02000C10", 90, kButton},
    {"02000C12", 90, kButton},  {"02000C13", 90, kButton},  {"02000B02", 169, kTickBox},
};

constexpr const char* kLanguages[] = {"Lang_Arabic",     "Lang_Deutsch", "Lang_English",    "Lang_French",
                                      "Lang_Italian",    "Lang_Japanese", "Lang_Portuguese", "Lang_Simplified",
                                      "Lang_Spanish",    "Lang_Traditional"};

// The width the text takes on screen, its mnemonic marker left out.
int TextWidth(const std::string& text) {
  const std::wstring wide = win32::Widen(text);
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, win32::DialogFont());
  RECT r{0, 0, 0, 0};
  ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return r.right - r.left;
}

TEST(Win32Texts, EveryButtonTextFitsItsButtonInEveryLanguage) {
  test::ScratchDir dir;
  for (const char* language : kLanguages) {
    const std::string file = dir / (std::string(language) + ".txt");
    ResourceToFile(language, "FILE", file);
    for (const Control& c : kControls) {
      const std::string text = i18n::Lookup(file, "Main", c.key);
      EXPECT_LE(TextWidth(text), win32::Scale(c.width - c.decoration)) << language << " " << c.key << ": " << text;
    }
  }
}

// The progress window's captions grow with their text and push their value
// along; caption and the widest value must share the pair's 172 pixels.
TEST(Win32Texts, EveryProgressCaptionLeavesRoomForItsValue) {
  const std::pair<const char*, const char*> pairs[] = {
      {"02000C03", "1023.99 GB"}, {"02000C04", "999.99 MB/s"}, {"02000C01", "00:00:00"}, {"02000C02", "00:00:00"}};
  test::ScratchDir dir;
  for (const char* language : kLanguages) {
    const std::string file = dir / (std::string(language) + ".txt");
    ResourceToFile(language, "FILE", file);
    for (const auto& [key, value] : pairs) {
      const std::string caption = i18n::Lookup(file, "Main", key);
      EXPECT_LE(TextWidth(caption) + win32::Scale(2) + TextWidth(value), win32::Scale(172))
          << language << " " << key << ": " << caption;
    }
  }
}

}  // namespace
}  // namespace coffer
