// coffer-pack: makes self-extracting files and, for scripts, lists, tests
// and extracts them from a terminal. See --help.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "pack/inspect.h"
#include "pack/options.h"
#include "pack/packer.h"
#include "pack/terminal.h"
#include "pack/terminal_host.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

namespace {

// A launcher or a file manager starts the program with no terminal to talk
// to, but with a display to show a window on.
bool StartedFromDesktop() {
  auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
  };
  return !::isatty(STDIN_FILENO) && (set("DISPLAY") || set("WAYLAND_DISPLAY"));
}

// The window is a program of its own beside this one, so that the terminal
// modes never load the toolkit and work where no display is.
int OpenWindow(char** argv) {
  const std::string window = coffer::FolderOfPath(coffer::OwnExecutablePath()) + "coffer-pack-window";
  char* args[] = {const_cast<char*>(window.c_str()), nullptr};
  ::execv(window.c_str(), args);
  std::fprintf(stderr, "%s: cannot start %s: %s\n", argv[0], window.c_str(), std::strerror(errno));
  return coffer::pack::kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace coffer::pack;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() && StartedFromDesktop()) return OpenWindow(argv);
  const ParseResult parsed = ParseArguments(args);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "coffer-pack: %s\n(coffer-pack --help shows how to use it)\n", parsed.error.c_str());
    return kExitUsage;
  }
  InstallInterruptHandlers();
  const Options& o = parsed.options;
  switch (o.mode) {
    case Mode::kHelp: std::fputs(HelpText().c_str(), stdout); return kExitOk;
    case Mode::kPack: return RunPack(o);
    case Mode::kList: return RunList(o);
    case Mode::kTest: return RunTest(o);
    case Mode::kExtract: return RunExtract(o);
    case Mode::kWindow: return OpenWindow(argv);
  }
  return kExitUsage;
}
