// The Windows program (linked as a window program, -mwindows): it reads no
// command line.
#include "app/extractor_app-win32.h"

int main() { return coffer::RunExtractor(); }
