#include "pack/options.h"

#include <functional>
#include <map>

namespace coffer::pack {
namespace {

bool IsPasswordOption(const std::string& arg) {
  if (arg.rfind("--password-file", 0) == 0) return false;
  return arg.rfind("--password", 0) == 0 || arg.rfind("-p", 0) == 0;
}

std::optional<OverwriteMode> ParseOverwrite(const std::string& value) {
  static const std::map<std::string, OverwriteMode> kModes = {
      {"ask", OverwriteMode::kAsk},
      {"always", OverwriteMode::kAlways},
      {"never", OverwriteMode::kNever},
      {"rename", OverwriteMode::kRename},
  };
  const auto it = kModes.find(value);
  if (it == kModes.end()) return std::nullopt;
  return it->second;
}

}  // namespace

ParseResult ParseArguments(const std::vector<std::string>& args) {
  ParseResult r;
  Options& o = r.options;
  std::vector<std::string> positional;
  std::optional<Mode> mode;
  bool overwrite_given = false;
  bool folder_given = false;

  auto fail = [&](std::string text) {
    r.error = std::move(text);
    return r;
  };

  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // Options that take a value accept it as the next argument or after "=".
    auto value = [&](const std::string& name, std::string& out) -> bool {
      if (arg == name) {
        if (i + 1 >= args.size()) return false;
        out = args[++i];
        return true;
      }
      out = arg.substr(name.size() + 1);
      return true;
    };
    auto is = [&](const std::string& name) { return arg == name || arg.rfind(name + "=", 0) == 0; };
    auto set_mode = [&](Mode m) -> bool {
      if (mode && *mode != m) return false;
      mode = m;
      return true;
    };

    if (arg == "--") {
      positional.insert(positional.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    }
    if (arg == "--help" || arg == "-h") {
      o.mode = Mode::kHelp;
      return r;
    }
    if (IsPasswordOption(arg)) {
      return fail(
          "passwords are never taken from the command line, where other users can read them in the process "
          "list and where they stay in the shell history; type it at the prompt or use --password-file FILE");
    }
    std::string v;
    if (is("--password-file")) {
      if (!value("--password-file", v) || v.empty()) return fail("--password-file needs a FILE");
      o.password_file = v;
    } else if (is("--extractor")) {
      if (!value("--extractor", v) || v.empty()) return fail("--extractor needs a FILE");
      o.extractor = v;
    } else if (arg == "--windows") {
      o.windows = true;
    } else if (arg == "--hide-names") {
      o.hide_names = true;
    } else if (arg == "--skip-unreadable") {
      o.skip_unreadable = true;
    } else if (arg == "--window") {
      if (!set_mode(Mode::kWindow)) return fail("--window opens the packing window; it goes alone");
    } else if (is("--list") || is("--test") || is("--extract")) {
      const std::string name = arg.substr(0, arg.find('='));
      const Mode m = name == "--list" ? Mode::kList : name == "--test" ? Mode::kTest : Mode::kExtract;
      if (!set_mode(m)) return fail("choose one of --list, --test and --extract");
      if (!value(name, v) || v.empty()) return fail(name + " needs a FILE");
      o.archive = v;
    } else if (arg == "-o" || is("--output")) {
      if (!value(arg == "-o" ? "-o" : "--output", v) || v.empty()) return fail(arg + " needs a FOLDER");
      o.output_folder = v;
      folder_given = true;
    } else if (arg.size() > 2 && arg.rfind("-o", 0) == 0) {
      o.output_folder = arg.substr(2);
      folder_given = true;
    } else if (is("--overwrite")) {
      if (!value("--overwrite", v)) return fail("--overwrite needs ask, always, never or rename");
      const auto m = ParseOverwrite(v);
      if (!m) return fail("--overwrite takes ask, always, never or rename, not \"" + v + "\"");
      o.overwrite = *m;
      overwrite_given = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return fail("unknown option " + arg);
    } else {
      positional.push_back(arg);
    }
  }

  o.mode = mode.value_or(Mode::kPack);
  if (o.mode != Mode::kExtract && (folder_given || overwrite_given))
    return fail("-o and --overwrite go with --extract");
  if (o.mode != Mode::kPack && o.extractor) return fail("--extractor goes with packing");
  if (o.mode != Mode::kPack && (o.windows || o.hide_names || o.skip_unreadable))
    return fail("--windows, --hide-names and --skip-unreadable go with packing");
  if (o.mode == Mode::kWindow) {
    if (!positional.empty() || o.password_file) return fail("--window opens the packing window; it goes alone");
    return r;
  }
  if (o.mode == Mode::kPack) {
    if (positional.size() < 2) return fail("packing needs an OUTPUT file and at least one SOURCE");
    o.output = positional.front();
    o.sources.assign(positional.begin() + 1, positional.end());
    return r;
  }
  if (!positional.empty()) return fail("unexpected argument " + positional.front());
  if (o.mode == Mode::kExtract && !folder_given) return fail("--extract needs -o FOLDER");
  return r;
}

std::string HelpText() {
  return R"(Usage:
  coffer-pack [--windows] [--hide-names] [--skip-unreadable] [--password-file FILE] OUTPUT SOURCE...
  coffer-pack --window
  coffer-pack --list FILE [--password-file FILE]
  coffer-pack --test FILE [--password-file FILE]
  coffer-pack --extract FILE -o FOLDER [--overwrite ask|always|never|rename] [--password-file FILE]

Packing writes OUTPUT as a self-extracting file: the extractor program
followed by a 7z archive of the SOURCE files and folders, its content
encrypted with AES-256 under the password (the names stay readable unless
--hide-names). Symbolic links are followed: a link packs what it leads to
under its own name. A link that dangles or loops, a fifo, socket or device
stops the pack before anything is written, unless --skip-unreadable.
A single SOURCE folder gives its content as the top level; with several
SOURCEs each folder keeps its layout under its own name and a file goes at
the top level. An OUTPUT without an extension gets ".run" (".exe" with
--windows); the recipient's files land in a folder named after OUTPUT
without its extension.

The password is asked twice on the terminal without echo, or read from the
first line of --password-file FILE ("-" reads it from standard input). It is
never taken from the command line. A password that could be guessed soon is
called out, never refused.

Started without arguments from a desktop (no terminal), or with --window,
coffer-pack opens its packing window instead.

Options:
  --windows             make the file for Windows recipients: the Windows
                        extractor (coffer.exe) in front of the archive
  --hide-names          encrypt the archive's headers too: neither names nor
                        sizes can be read without the password
  --skip-unreadable     leave out (and list) what cannot be packed instead of
                        stopping
  --password-file FILE  read the password from the first line of FILE; "-"
                        reads standard input
  --window              open the packing window
  --list FILE           list the items of FILE (path, size, folder or file;
                        the extractor's password-check item left out) and
                        tell whether its archive headers are intact (the
                        password is needed only when the names are hidden;
                        damaged content shows in --test)
  --test FILE           decrypt and verify every item of FILE
  --extract FILE        extract FILE into FOLDER/<FILE name without extension>/
  -o FOLDER             the folder for --extract
  --overwrite MODE      for files that already exist: ask (the default; needs
                        a terminal), always replace, never replace, or rename
                        the new file to a free numbered name
  --extractor FILE      for testing: use FILE as the extractor image instead of
                        the coffer program (coffer.exe with --windows) beside
                        coffer-pack
  -h, --help            show this text

Exit status:
  0  success (--list: the archive is intact)
  1  failure: a refused or failed pack, a damaged archive, a failed extraction
  2  usage error
  3  wrong password (--test, --extract)
  130  interrupted (Ctrl-C); a half-written OUTPUT is removed
)";
}

}  // namespace coffer::pack
