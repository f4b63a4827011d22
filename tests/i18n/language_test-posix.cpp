// The system's default language as Linux gives it: from the environment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/locale.h"

namespace coffer {
namespace {

// Sets (or with nothing, unsets) one variable and restores it after.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value->c_str(), 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(Locale, SystemDefaultTakesTheFirstNonEmptyVariable) {
  using V = std::optional<std::string>;
  struct Case {
    V lc_all, lc_messages, lang;
    uint16_t expected;
  };
  const Case cases[] = {
      {"ja_JP.UTF-8", "fr_FR.UTF-8", "de_DE.UTF-8", 0x0411},
      {"", "fr_FR.UTF-8", "de_DE.UTF-8", 0x040C},
      {std::nullopt, "", "de_DE.UTF-8", 0x0407},
      {std::nullopt, std::nullopt, "pt_BR.UTF-8", 0x0416},
      {"C", "fr_FR.UTF-8", "de_DE.UTF-8", 0x0409},
      {std::nullopt, std::nullopt, std::nullopt, 0x0409},
      {"", "", "", 0x0409},
  };
  for (const auto& c : cases) {
    const ScopedEnv a("LC_ALL", c.lc_all), m("LC_MESSAGES", c.lc_messages), l("LANG", c.lang);
    EXPECT_EQ(SystemDefaultLangId(), c.expected) << c.lc_all.value_or("-") << " " << c.lc_messages.value_or("-")
                                                 << " " << c.lang.value_or("-");
  }
}

}  // namespace
}  // namespace coffer
