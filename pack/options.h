#pragma once
// The packer's command line: what to do and with what. Parsing is pure so
// that every refusal of a command line can be checked without running one.
#include <optional>
#include <string>
#include <vector>

namespace coffer::pack {

// Exit statuses of every mode.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitWrongPassword = 3;
inline constexpr int kExitInterrupted = 130;

enum class Mode { kHelp, kPack, kList, kTest, kExtract, kWindow };

// What --extract does with a file that is already in the output tree.
enum class OverwriteMode { kAsk, kAlways, kNever, kRename };

struct Options {
  Mode mode = Mode::kPack;
  std::string output;                  // kPack: the file to write
  std::vector<std::string> sources;    // kPack
  std::string archive;                 // kList, kTest, kExtract: the self-extracting file
  std::string output_folder;           // kExtract: -o FOLDER
  OverwriteMode overwrite = OverwriteMode::kAsk;
  std::optional<std::string> password_file;  // "-": standard input
  std::optional<std::string> extractor;  // kPack: image to use instead of ours
  bool windows = false;                  // kPack: for Windows recipients (coffer.exe)
  bool hide_names = false;               // kPack: encrypt the headers, names and sizes too
  bool skip_unreadable = false;          // kPack: leave out what cannot be packed
};

struct ParseResult {
  Options options;
  std::string error;  // non-empty: a usage error, to be printed
};

// Parses the arguments after the program name.
ParseResult ParseArguments(const std::vector<std::string>& args);

// The text of --help.
std::string HelpText();

}  // namespace coffer::pack
