// coffer-pack: makes self-extracting files and, for scripts, lists, tests
// and extracts them from a terminal. See --help.
#include <cstdio>
#include <string>
#include <vector>

#include "pack/inspect.h"
#include "pack/options.h"
#include "pack/packer.h"
#include "pack/terminal.h"
#include "pack/terminal_host.h"
#include "platform/console.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

namespace {

// The window is a program of its own beside this one, so that the terminal
// modes never load the toolkit and work where no display is.
int OpenWindow(char** argv) {
  const std::string window = coffer::FolderOfPath(coffer::OwnExecutablePath()) + "coffer-pack-window";
  const std::string reason = coffer::RunInstead(window);
  std::fprintf(stderr, "%s: cannot start %s: %s\n", argv[0], window.c_str(), reason.c_str());
  return coffer::pack::kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace coffer::pack;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() && coffer::StartedFromDesktop()) return OpenWindow(argv);
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
