// The built coffer.exe as the shell and the recipient meet it: its own
// icon (which the windows and the notification area take too), a manifest
// and a version block, loaded from the file as the shell loads them.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

struct ImageResources {
  HMODULE image = ::LoadLibraryExW(L"" COFFER_PROGRAM, nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
  ~ImageResources() {
    if (image) ::FreeLibrary(image);
  }
  bool Has(LPCWSTR type, LPCWSTR name) const { return ::FindResourceW(image, name, type) != nullptr; }
};

TEST(ProgramImage, CarriesItsIconManifestAndVersion) {
  const ImageResources program;
  ASSERT_NE(program.image, nullptr) << COFFER_PROGRAM << ": error " << ::GetLastError();
  EXPECT_TRUE(program.Has(RT_GROUP_ICON, MAKEINTRESOURCEW(1)));
  EXPECT_TRUE(program.Has(RT_MANIFEST, MAKEINTRESOURCEW(1)));
  EXPECT_TRUE(program.Has(RT_VERSION, MAKEINTRESOURCEW(1)));
  // The icon the shell would show for 32 px is there to be made.
  HICON icon = static_cast<HICON>(::LoadImageW(program.image, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
  EXPECT_NE(icon, nullptr);
  if (icon) ::DestroyIcon(icon);
}

}  // namespace
