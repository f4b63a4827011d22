#include "tests/sevenzip/fixtures.h"

namespace coffer::test {

sevenzip::ReaderRef RealReader() { return sevenzip::New7zReader(sevenzip::Format7zClassId, EngineModule()); }

int FindItem(const sevenzip::ReaderRef& reader, const std::string& path) {
  const uint32_t n = reader->ItemCount();
  for (uint32_t i = 0; i < n; ++i)
    if (reader->ItemPath(i) == path) return static_cast<int>(i);
  return -1;
}

}  // namespace coffer::test

namespace coffer::test {

std::vector<std::pair<std::string, std::string>> MakeSampleTree(const std::string& root) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + " of some compressible text\n";
  WriteFile(root + "/readme.txt", text);
  WriteFile(root + "/bin/noise.bin", RandomBytes(70000, 7));
  WriteFile(root + "/zero.txt", "");
  WriteFile(root + "/deep/er/still/leaf.txt", "leaf");
  WriteFile(root + "/names/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", "ja");
  WriteFile(root + "/names/\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC.txt", "el");
  WriteFile(root + "/names/\xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A.txt", "ar");
  WriteFile(root + "/names/\xF0\x9F\x98\x80 smile.txt", "emoji");
  Run("mkdir -p " + Quote(root + "/empty_folder"));
  return TreeContents(root);
}

}  // namespace coffer::test
