#include "pack/strength.h"

#include <zxcvbn.h>

#include <algorithm>
#include <cmath>

namespace coffer::pack {
namespace {

// Below 1e6 tries a password falls within minutes; below 1e11 within
// months; from 1e15 on it would take a guesser thousands of years.
constexpr double kWeakFrom = 6;
constexpr double kFairFrom = 11;
constexpr double kStrongFrom = 15;
constexpr double kFullBar = 16;

}  // namespace

Strength EstimateStrength(const std::string& password) {
  Strength s;
  if (!password.empty()) s.log10_guesses = ZxcvbnMatch(password.c_str(), nullptr, nullptr) * std::log10(2.0);
  s.seconds_to_guess = std::pow(10.0, s.log10_guesses) / kGuessesPerSecond;
  s.fraction = std::clamp(s.log10_guesses / kFullBar, 0.0, 1.0);
  s.level = s.log10_guesses >= kStrongFrom ? StrengthLevel::kStrong
            : s.log10_guesses >= kFairFrom ? StrengthLevel::kFair
            : s.log10_guesses >= kWeakFrom ? StrengthLevel::kWeak
                                           : StrengthLevel::kVeryWeak;
  return s;
}

std::string GuessTimeText(double seconds) {
  struct Unit {
    double seconds;
    const char* one;
    const char* many;
  };
  static constexpr Unit kUnits[] = {{60, "minute", "minutes"},          {3600, "hour", "hours"},
                                    {86400, "day", "days"},             {86400 * 30.44, "month", "months"},
                                    {86400 * 365.25, "year", "years"}};
  if (seconds < 60) return "less than a minute";
  if (seconds >= 100 * kUnits[4].seconds) return "more than a century";
  const Unit* unit = &kUnits[0];
  for (const auto& u : kUnits)
    if (seconds >= u.seconds) unit = &u;
  const long n = std::lround(seconds / unit->seconds);
  return "about " + std::to_string(n) + " " + (n == 1 ? unit->one : unit->many);
}

}  // namespace coffer::pack
