// Loading the engine module: the three failure messages in their order of
// checks, the factory's results, the module's lifetime, and the layout of
// the library's interfaces as our side declares them.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "sevenzip/result.h"
#include "sevenzip/t7z_archive.h"
#include "sevenzip/t7z_in_archive.h"
#include "sevenzip/win_shim.h"
#include "tests/sevenzip/fixtures.h"

namespace coffer::sevenzip {
namespace {

using test::BuildModule;
using test::EngineModule;
using test::IsMapped;
using test::ScratchDir;

constexpr const char* kNoFactory = "int coffer_plain(void) { return 7; }\n";
constexpr const char* kFactoryOnly =
    "int COFFER_CALL CreateObject(const void* c, const void* i, void** o) { *o = 0; return 0; }\n";

// A format library whose factory answers `result` and hands out a marker.
std::string FactoryAnswering(const char* result) {
  return std::string("static int marker;\n"
                     "int COFFER_CALL GetHandlerProperty(unsigned id, void* v) { return 0; }\n"
                     "int COFFER_CALL CreateObject(const void* c, const void* i, void** o) { *o = &marker; return ") +
         result + "; }\n";
}

std::string MessageOf(const std::string& module) {
  try {
    T7zArchive archive(module);
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

TEST(PluginLoading, RefusesEachKindOfModuleWithItsMessageAndReleasesIt) {
  ScratchDir dir;
  const std::string plain = BuildModule(dir, "plain", kNoFactory);
  const std::string factory_only = BuildModule(dir, "factory_only", kFactoryOnly);
  const std::string missing = dir / "missing.so";
  const std::string not_a_module = dir / "text.so";
  test::WriteFile(not_a_module, "not an ELF file");
  const struct {
    std::string path;
    std::string message;
  } cases[] = {
      {missing, "Error loading library " + missing},
      {not_a_module, "Error loading library " + not_a_module},
      {plain, plain + " is not a 7z library"},
      {factory_only, factory_only + " is not a Format library"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MessageOf(c.path), c.message);
    EXPECT_FALSE(IsMapped(c.path)) << c.path << " was left loaded";
  }
}

TEST(PluginLoading, NewReaderRaisesTheSameMessages) {
  ScratchDir dir;
  const std::string factory_only = BuildModule(dir, "factory_only", kFactoryOnly);
  try {
    New7zReader(Format7zClassId, factory_only);
    FAIL() << "no exception";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), factory_only + " is not a Format library");
  }
}

TEST(PluginLoading, FactoryResultsBelowZeroRaiseAndOthersAreSuccess) {
  ScratchDir dir;
  const struct {
    const char* result;
    bool raises;
    const char* message;
  } cases[] = {
      {"0", false, ""},
      {"1", false, ""},
      {"(int)0x80004002", true, "No such interface supported"},
      {"(int)0x80040111", true, "ClassFactory cannot supply requested class"},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string module = BuildModule(dir, "factory" + std::to_string(n++), FactoryAnswering(c.result));
    T7zArchive archive(module);
    void* object = nullptr;
    if (c.raises) {
      try {
        archive.CreateEngineObject(Format7zClassId, FromGuid(IID_IInArchive), &object);
        ADD_FAILURE() << c.result << " did not raise";
      } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().category(), EngineCategory());
        EXPECT_EQ(std::string(e.what()), c.message);
      }
    } else {
      archive.CreateEngineObject(Format7zClassId, FromGuid(IID_IInArchive), &object);
      EXPECT_NE(object, nullptr) << c.result;
    }
  }
}

TEST(PluginLoading, RealModuleLoadsWithAnEmptyClassIdUntilOneIsSet) {
  T7zInArchive* archive = new T7zInArchive(EngineModule());
  EXPECT_EQ(archive->FormatClassId(), Guid{});
  archive->SetFormatClassId(Format7zClassId);
  EXPECT_EQ(archive->FormatClassId(), Format7zClassId);
  EXPECT_EQ(archive->Release(), 0u);
}

TEST(PluginLoading, ModuleIsUnloadedOnlyWhenTheLastReaderReferenceGoes) {
  ASSERT_FALSE(IsMapped(EngineModule()));
  ReaderRef first = New7zReader(Format7zClassId, EngineModule());
  ReaderRef second = first;
  ASSERT_TRUE(IsMapped(EngineModule()));
  first.reset();
  EXPECT_TRUE(IsMapped(EngineModule()));
  second.reset();
  EXPECT_FALSE(IsMapped(EngineModule()));
}

// With a virtual destructor in IUnknown (as older versions of the library
// had), the two destructor entries would sit right after Release and every
// later slot would be off by two: calling "Close" would delete the object.
TEST(EngineAbi, IUnknownHasThreeSlotsAndNoVirtualDestructor) {
  T7zArchive archive(EngineModule());
  void* object = nullptr;
  archive.CreateEngineObject(Format7zClassId, FromGuid(IID_IInArchive), &object);
  ASSERT_NE(object, nullptr);
  auto* handler = static_cast<IInArchive*>(object);
  EXPECT_EQ(handler->AddRef(), 2u);
  EXPECT_EQ(handler->Release(), 1u);
  EXPECT_EQ(handler->Close(), S_OK);  // slot 4
  UInt32 items = 99;
  EXPECT_EQ(handler->GetNumberOfItems(&items), S_OK);  // slot 5
  EXPECT_EQ(items, 0u);
  IUnknown* same = nullptr;
  EXPECT_EQ(handler->QueryInterface(IID_IInArchive, reinterpret_cast<void**>(&same)), S_OK);
  EXPECT_EQ(static_cast<void*>(same), object);
  EXPECT_EQ(same->Release(), 1u);
  EXPECT_EQ(handler->Release(), 0u);
}

TEST(EngineAbi, BstrHasTheLibraryLayout) {
  BSTR text = AllocBstr(L"ab\u00e9");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(*(reinterpret_cast<uint32_t*>(text) - 1), 3 * sizeof(wchar_t));
  EXPECT_EQ(BstrByteLength(text), 3 * sizeof(wchar_t));
  EXPECT_EQ(text[3], L'\0');
  EXPECT_EQ(std::wstring(text), L"ab\u00e9");
  FreeBstr(text);
  FreeBstr(nullptr);
}

TEST(EngineAbi, TextConvertsBetweenUtf8AndWideAtTheEdge) {
  const struct {
    std::string utf8;
    std::wstring wide;
  } cases[] = {
      {"plain", L"plain"},
      {"\xE6\x97\xA5\xE6\x9C\xAC", L"\u65E5\u672C"},
      {"\xF0\x9F\x98\x80", L"\xD83D\xDE00"},  // as the library keeps it
      {"\xCE\x95\xCE\xBB", L"\u0395\u03BB"},
      {"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Widen(c.utf8), c.wide) << c.utf8;
    EXPECT_EQ(Narrow(c.wide), c.utf8) << c.utf8;
  }
  // Malformed input is replaced, not dropped or passed on.
  EXPECT_EQ(Widen("a\xFF" "b"), L"a\uFFFDb");
  EXPECT_EQ(Widen("\xE6\x97"), L"\uFFFD");
  EXPECT_EQ(Widen("\xC0\xAF"), L"\uFFFD\uFFFD");
  EXPECT_EQ(Narrow(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(Narrow(L"\U0001F600"), "\xF0\x9F\x98\x80");
}

// Written as UTF-16 code units, whatever the width of wchar_t.
std::wstring Units(std::u16string_view units) { return std::wstring(units.begin(), units.end()); }

TEST(EngineAbi, EachBrokenSequenceBecomesOneReplacementCharacter) {
  const struct {
    std::string utf8;
    std::u16string wide;
  } to_wide[] = {
      {"\xF0\x9F\x98" "A", u"\xFFFD" "A"},           // cut short before another character
      {"\xED\xA0\x80", u"\xFFFD"},                   // a surrogate spelt out in UTF-8
      {"\xF4\x90\x80\x80", u"\xFFFD"},               // beyond U+10FFFF
      {"\xE0\x80\x80", u"\xFFFD"},                   // overlong
      {"\x80\x80", u"\xFFFD\xFFFD"},                 // stray continuation bytes
      {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", u"\xD800\xDC00\xDBFF\xDFFF"},  // first and last beyond U+FFFF
  };
  for (const auto& c : to_wide) EXPECT_EQ(Widen(c.utf8), Units(c.wide)) << c.utf8;
  const struct {
    std::u16string wide;
    std::string utf8;
  } to_utf8[] = {
      {u"\xDC00", "\xEF\xBF\xBD"},                            // a low surrogate alone
      {u"\xD800" "A", "\xEF\xBF\xBD" "A"},                      // a high one before no low one
      {u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},           // the pair reversed
      {u"\xD800\xDC00\xDBFF\xDFFF", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
  };
  for (const auto& c : to_utf8) EXPECT_EQ(Narrow(Units(c.wide)), c.utf8) << c.utf8;
}

// The handler gives item paths in the system's form; our side reads them
// as the archive stores them, "/" between components, on every system.
TEST(EngineAbi, ItemPathsReadAsStoredWhateverTheSystemSeparator) {
  const struct {
    std::wstring engine;
    wchar_t separator;
    std::wstring stored;
  } cases[] = {
      {L"a/b\\c.txt", L'/', L"a/b\\c.txt"},
      {L"a\\b\\c.txt", L'\\', L"a/b/c.txt"},
      {L"a\\b\uF05Cc.txt", L'\\', L"a/b\\c.txt"},
      {L"\uF05C", L'/', L"\uF05C"},
  };
  for (const auto& c : cases) EXPECT_EQ(ArchivePathFromEngine(c.engine, c.separator), c.stored) << Narrow(c.engine);
}

}  // namespace
}  // namespace coffer::sevenzip
