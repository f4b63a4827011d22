#pragma once
// Where the debug channel's lines go on this system: the shared part
// (platform/debug.cpp: secrets, the test sink, one line per call) hands
// each finished line to these.
#include <string>

namespace coffer {

// Whether the system's debug output takes lines at all.
bool SystemDebugOutputOn();

// Writes one finished line (no line end in it) to the system's debug
// output.
void WriteSystemDebugOutput(const std::string& line);

}  // namespace coffer
