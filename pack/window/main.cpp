// coffer-pack-window: the packing window, which `coffer-pack --window` (or
// coffer-pack started from a desktop) opens.
#include "pack/window/pack_window_app.h"

int main() { return coffer::pack::RunPackWindow(); }
