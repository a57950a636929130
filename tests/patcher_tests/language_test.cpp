// The language table: look-up with its 8-bit fallback, the shape of every record, placeholders.
#include "tools/patcher/languages/language_directory.h"
#include "tools/patcher/languages/placeholder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace orvo {
namespace {

std::string name_of(u32 id) { return find_language_record(id)[key_language_name]; }

TEST(find_language_record, exact_then_low_byte_then_english) {
  const struct {
    u32 id;
    const char* name;
  } cases[] = {
      {0x0009, "English"},          {0x0409, "English"},       {0x0809, "English"},
      {0x0412, "English"},          {0x0000, "English"},       {0x0407, "Deutsch"},
      {0x0C07, "Deutsch"},          {0x0C0A, "Español"},       {0x0C1A, "Српски"},
      {0x7C1A, "Srpski"},           {0x081A, "Hrvatski"},      {0x181A, "Hrvatski"},
      {0x0804, "简体中文"},         {0x0404, "简体中文"},      {0x0816, "Português (Portugal)"},
      {0x0416, "Português (Brasil)"}, {0x01FF, "Ślōnskŏ gŏdka"}, {0x05FF, "Ślōnskŏ gŏdka"},
      {0x0419, "Русский"},          {0x0422, "Українська"},    {0x10407, "Deutsch"},
  };
  for (const auto& c : cases) EXPECT_EQ(name_of(c.id), c.name) << std::hex << c.id;
}

// Names as the list shows them; each entry must be found by its own identifier.
TEST(language_directory, every_entry_is_its_own_language) {
  const char* const names[language_count] = {
      "English", "Česky",   "Deutsch",  "Ελληνικά", "Español",  "Eesti",   "Euskera", "Suomi",
      "Français", "Galego", "Hrvatski", "Magyar",   "Italiano", "日本語",  "Lietuviškai", "Nederlands",
      "Norsk (bokmål)", "Polski", "Ślōnskŏ gŏdka", "Português (Brasil)", "Português (Portugal)", "Română",
      "Русский", "Slovensky", "Slovenščina", "Srpski", "Српски", "Svenska", "Türkçe", "Українська",
      "Tiếng Việt", "简体中文"};
  std::set<const language_record_t*> records;
  for (u32 i = 0; i < language_count; ++i) {
    const language_entry_t& entry = language_directory[i];
    EXPECT_EQ(&find_language_record(entry.id), entry.record) << i;
    EXPECT_STREQ((*entry.record)[key_language_name], names[i]) << i;
    records.insert(entry.record);
  }
  EXPECT_EQ(records.size(), language_count);
}

u32 count_of(const char* text, const char* part) {
  u32 count = 0;
  for (const char* at = std::strstr(text, part); at; at = std::strstr(at + 1, part)) ++count;
  return count;
}

TEST(language_directory, records_are_complete_translations_with_their_placeholders) {
  const language_record_t& english = find_language_record(0x0009);
  for (const language_entry_t& entry : language_directory) {
    const language_record_t& record = *entry.record;
    SCOPED_TRACE(record[key_language_name]);
    u32 same_as_english = 0;
    for (u32 key = 0; key < language_key_count; ++key) {
      const char* text = record.texts[key];
      ASSERT_NE(text, nullptr) << key;
      EXPECT_NE(text[0], '\0') << key;
      EXPECT_EQ(count_of(text, placeholder_version), key == key_welcome_text ? 1u : 0u) << key;
      EXPECT_EQ(count_of(text, placeholder_space), key == key_insufficient_space ? 1u : 0u) << key;
      EXPECT_EQ(count_of(text, placeholder_log_file), key == key_log_hint ? 1u : 0u) << key;
      const bool two_lines = key == key_insufficient_space || key == key_patching_text;
      EXPECT_EQ(count_of(text, "\n"), two_lines ? 1u : 0u) << key;
      if (key != key_steam_unsupported && std::strcmp(text, english.texts[key]) == 0) ++same_as_english;
    }
    EXPECT_STREQ(record[key_steam_unsupported], english[key_steam_unsupported]);
    // A word such as "Update" may be shared; a record of English copies may not.
    if (&record != &english) {
      EXPECT_LE(same_as_english, 2u);
    }
  }
}

TEST(substitute_placeholder, replaces_every_occurrence_once) {
  const struct {
    const char* text;
    const char* value;
    const char* expected;
  } cases[] = {
      {"at least $SPACE$ MB", "1234", "at least 1234 MB"},
      {"$SPACE$$SPACE$ and $SPACE$", "7", "77 and 7"},
      {"no placeholder", "7", "no placeholder"},
      {"$SPACE$", "", ""},
      {"value names itself: $SPACE$.", "$SPACE$", "value names itself: $SPACE$."},
      {"$SPACE", "7", "$SPACE"},
  };
  for (const auto& c : cases) {
    string_dyn_t text(c.text);
    ASSERT_TRUE(substitute_placeholder(text, placeholder_space, c.value)) << c.text;
    EXPECT_STREQ(text.c_str(), c.expected);
  }
  // Long values grow the text; a fixed buffer reports the cut.
  const std::string path(600, 'p');
  string_dyn_t grown("log in $LOGFILE$");
  ASSERT_TRUE(substitute_placeholder(grown, placeholder_log_file, path.c_str()));
  EXPECT_EQ(std::string(grown.c_str()), "log in " + path);
  string_fixed_t<32> fixed(string("log in $LOGFILE$"));
  EXPECT_FALSE(substitute_placeholder(fixed, placeholder_log_file, path.c_str()));
}

} // namespace
} // namespace orvo
