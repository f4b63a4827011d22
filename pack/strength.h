#pragma once
// How soon a password could be guessed, estimated by zxcvbn (which knows
// common passwords, words, names, dates, keyboard runs and substitutions).
// Pure, so that the terminal's warning and the window's bar share it.
#include <string>

namespace coffer::pack {

enum class StrengthLevel { kVeryWeak, kWeak, kFair, kStrong };

struct Strength {
  double log10_guesses = 0;     // how many tries a guesser needs, as a power of ten
  double seconds_to_guess = 0;  // at kGuessesPerSecond
  double fraction = 0;          // 0 to 1, for a strength bar
  StrengthLevel level = StrengthLevel::kVeryWeak;
};

// Each try costs the archive's key derivation (2^19 rounds of SHA-256), so
// one computer with a graphics card manages about this many.
inline constexpr double kGuessesPerSecond = 1e4;

Strength EstimateStrength(const std::string& password);

// "about 3 hours", "less than a minute", "more than a century".
std::string GuessTimeText(double seconds);

}  // namespace coffer::pack
