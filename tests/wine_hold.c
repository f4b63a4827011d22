/* wine_hold HOLD READY
 * Keeps one Wine process, and so the wineserver, alive while the test
 * programs run, so that each of them starts against a warm server. Creates
 * READY once running (removed again when it ends) and ends when HOLD is
 * gone, or after two hours should nobody remove it. */
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  HANDLE ready = CreateFileW(argv[2], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, CREATE_ALWAYS,
                             FILE_FLAG_DELETE_ON_CLOSE, NULL);
  if (ready == INVALID_HANDLE_VALUE) return 1;
  for (int i = 0; i < 2 * 60 * 60 * 10 && GetFileAttributesW(argv[1]) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
  CloseHandle(ready);
  return 0;
}
