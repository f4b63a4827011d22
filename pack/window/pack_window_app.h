#pragma once
// The packing window as a program: the language of the system, right to
// left for Arabic, the window until it is closed.
namespace coffer::pack {

// Returns the exit status: 1 when there is no display.
int RunPackWindow();

}  // namespace coffer::pack
