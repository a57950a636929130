#include "ovcore/system/ui_language.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(locale_language, country_then_language_default_then_us_english) {
  const std::pair<const char*, u16> cases[] = {
      {"de_AT.UTF-8", 0x0C07}, {"cs_CZ", 0x0405},    {"en_US", 0x0409},       {"en_GB.ISO-8859-1", 0x0809},
      {"pt_BR.UTF-8", 0x0416}, {"pt_PT@euro", 0x0816}, {"zh_CN.UTF-8", 0x0804}, {"de", 0x0407},
      {"de_BE.UTF-8", 0x0407}, {"fr.UTF-8", 0x040C}, {"sr", 0x0C1A},          {"gl_ES", 0x0456},
      {"C", 0x0409},           {"C.UTF-8", 0x0409},  {"POSIX", 0x0409},       {"", 0x0409},
      {"xx_YY", 0x0409},       {"d", 0x0409},
  };
  for (const auto& [locale, language] : cases) EXPECT_EQ(language_from_locale_name(locale), language) << locale;
  EXPECT_NE(get_ui_language() & 0x3FF, 0);
}

} // namespace
} // namespace orvo
