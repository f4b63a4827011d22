/* dll_load 7z.dll
 * The engine module loads as a Windows DLL, has the entry points the
 * binding calls, and answers for its archive format: the name comes back
 * as a BSTR that OLEAUT32 frees. */
#include <windows.h>
#include <oleauto.h>
#include <stdio.h>

typedef HRESULT(WINAPI* GetHandlerPropertyFunc)(PROPID, PROPVARIANT*);

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  HMODULE module = LoadLibraryW(argv[1]);
  if (!module) {
    fprintf(stderr, "LoadLibraryW failed: %lu\n", GetLastError());
    return 1;
  }
  int failures = 0;
  if (!GetProcAddress(module, "CreateObject")) {
    fprintf(stderr, "no CreateObject\n");
    ++failures;
  }
  GetHandlerPropertyFunc get_property = (GetHandlerPropertyFunc)(void*)GetProcAddress(module, "GetHandlerProperty");
  if (!get_property) {
    fprintf(stderr, "no GetHandlerProperty\n");
    ++failures;
  } else {
    PROPVARIANT name;
    PropVariantInit(&name);
    const HRESULT hr = get_property(0 /* the format's name */, &name);
    if (hr != S_OK || name.vt != VT_BSTR || lstrcmpW(name.bstrVal, L"7z") != 0) {
      fprintf(stderr, "format name: hr 0x%08lx, type %u\n", (unsigned long)hr, name.vt);
      ++failures;
    }
    if (name.vt == VT_BSTR) SysFreeString(name.bstrVal);
  }
  FreeLibrary(module);
  printf("%d passed, %d failed\n", 3 - failures, failures);
  return failures ? 1 : 0;
}
