#include <gtest/gtest.h>

#include <string>

#include "i18n/texts.h"
#include "platform/locale.h"

namespace coffer {
namespace {

TEST(LanguageChoice, FollowsTheTable) {
  const std::pair<uint16_t, const char*> cases[] = {
      {0x0804, "Lang_Simplified"}, {0x0404, "Lang_Traditional"}, {0x0C04, "Lang_Traditional"},
      {0x1004, "Lang_Traditional"}, {0x1404, "Lang_English"},   {0x0407, "Lang_Deutsch"},
      {0x0807, "Lang_English"},    {0x0C07, "Lang_English"},     {0x0410, "Lang_Italian"},
      {0x0810, "Lang_English"},    {0x0416, "Lang_Portuguese"},  {0x0816, "Lang_Portuguese"},
      {0x040C, "Lang_French"},     {0x080C, "Lang_French"},      {0x0C0C, "Lang_English"},
      {0x0411, "Lang_Japanese"},   {0x040A, "Lang_Spanish"},     {0x080A, "Lang_Spanish"},
      {0x0C0A, "Lang_Spanish"},    {0x2C0A, "Lang_Spanish"},     {0x300A, "Lang_Spanish"},
      {0x340A, "Lang_English"},    {0x000A, "Lang_English"},     {0x040B, "Lang_English"},
      {0x0401, "Lang_Arabic"},     {0x0801, "Lang_Arabic"},      {0x0C01, "Lang_Arabic"},
      {0x1001, "Lang_Arabic"},     {0x1401, "Lang_English"},     {0x0409, "Lang_English"},
      {0x0809, "Lang_English"},    {0x0419, "Lang_English"},     {0x0000, "Lang_English"},
      {0xFFFF, "Lang_English"},
  };
  for (const auto& [id, resource] : cases) EXPECT_EQ(i18n::LanguageResourceFor(id), resource) << std::hex << id;
}

TEST(Locale, MapsNamesToLanguageIds) {
  const std::pair<const char*, uint16_t> cases[] = {
      {"de_DE.UTF-8", 0x0407}, {"de_AT", 0x0C07},        {"de_CH.UTF-8", 0x0807}, {"de", 0x0407},
      {"de_XX", 0x0407},       {"de-DE", 0x0407},        {"zh_CN.UTF-8", 0x0804}, {"zh_TW", 0x0404},
      {"zh_HK.UTF-8", 0x0C04}, {"zh_SG.GB2312", 0x1004}, {"zh", 0x0804},          {"es_ES@euro", 0x0C0A},
      {"es_ES.UTF-8@euro", 0x0C0A}, {"es_MX", 0x080A},   {"es_AR.UTF-8", 0x2C0A}, {"es_CL", 0x340A},
      {"es", 0x0C0A},          {"pt_BR.UTF-8", 0x0416},  {"pt_PT", 0x0816},       {"fr_FR.UTF-8", 0x040C},
      {"fr_BE@euro", 0x080C},  {"fr_CA", 0x0C0C},        {"fr_SN", 0x040C},       {"it_IT", 0x0410},
      {"it_CH", 0x0810},       {"ja_JP.eucJP", 0x0411},  {"ar_SA.UTF-8", 0x0401}, {"ar_IQ", 0x0801},
      {"ar_EG.UTF-8", 0x0C01}, {"ar_LY", 0x1001},        {"ar_MA", 0x1801},       {"en_US.UTF-8", 0x0409},
      {"en_GB.UTF-8", 0x0809}, {"en_AU", 0x0C09},        {"ru_RU.UTF-8", 0x0419}, {"sr_RS@latin", 0x0C1A},
      {"C", 0x0409},           {"C.UTF-8", 0x0409},      {"POSIX", 0x0409},       {"", 0x0409},
      {"xx_YY.UTF-8", 0x0409}, {"_", 0x0409},            {"@", 0x0409},
  };
  for (const auto& [name, id] : cases) EXPECT_EQ(LangIdFromLocale(name), id) << '"' << name << '"';
}

TEST(Locale, EachLanguageReachesItsFile) {
  const std::pair<const char*, const char*> cases[] = {
      {"ar_EG.UTF-8", "Lang_Arabic"},   {"de_DE.UTF-8", "Lang_Deutsch"},     {"en_US.UTF-8", "Lang_English"},
      {"fr_FR.UTF-8", "Lang_French"},   {"it_IT.UTF-8", "Lang_Italian"},     {"ja_JP.UTF-8", "Lang_Japanese"},
      {"pt_BR.UTF-8", "Lang_Portuguese"}, {"zh_CN.UTF-8", "Lang_Simplified"}, {"es_ES.UTF-8", "Lang_Spanish"},
      {"zh_TW.UTF-8", "Lang_Traditional"}, {"C", "Lang_English"},
  };
  for (const auto& [name, resource] : cases)
    EXPECT_EQ(i18n::LanguageResourceFor(LangIdFromLocale(name)), resource) << name;
}

}  // namespace
}  // namespace coffer
