#include "ovcore/system/ui_language.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(locale_language, language_and_country_pairs) {
  EXPECT_EQ(language_from_locale_name("de_AT.UTF-8"), 0x0C07);
  EXPECT_EQ(language_from_locale_name("cs_CZ"), 0x0405);
  EXPECT_EQ(language_from_locale_name("en_US"), 0x0409);
  EXPECT_EQ(language_from_locale_name("en_GB.ISO-8859-1"), 0x0809);
  EXPECT_EQ(language_from_locale_name("pt_BR.UTF-8"), 0x0416);
  EXPECT_EQ(language_from_locale_name("pt_PT@euro"), 0x0816);
  EXPECT_EQ(language_from_locale_name("zh_CN.UTF-8"), 0x0804);
}

TEST(locale_language, language_alone_gives_its_default) {
  EXPECT_EQ(language_from_locale_name("de"), 0x0407);
  EXPECT_EQ(language_from_locale_name("de_BE.UTF-8"), 0x0407);
  EXPECT_EQ(language_from_locale_name("fr.UTF-8"), 0x040C);
  EXPECT_EQ(language_from_locale_name("sr"), 0x0C1A);
  EXPECT_EQ(language_from_locale_name("gl_ES"), 0x0456);
}

TEST(locale_language, c_posix_empty_and_unknown_are_us_english) {
  EXPECT_EQ(language_from_locale_name("C"), 0x0409);
  EXPECT_EQ(language_from_locale_name("C.UTF-8"), 0x0409);
  EXPECT_EQ(language_from_locale_name("POSIX"), 0x0409);
  EXPECT_EQ(language_from_locale_name(""), 0x0409);
  EXPECT_EQ(language_from_locale_name("xx_YY"), 0x0409);
  EXPECT_EQ(language_from_locale_name("d"), 0x0409);
}

TEST(ui_language, is_a_valid_language_identifier) {
  const u16 language = get_ui_language();
  EXPECT_NE(language & 0x3FF, 0);
}

} // namespace
} // namespace orvo
