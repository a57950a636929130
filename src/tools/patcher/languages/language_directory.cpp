#include "tools/patcher/languages/language_directory.h"

#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_entry_t language_directory[language_count] = {
    {0x0009, &language_english},
    {0x0405, &language_czech},
    {0x0007, &language_german},
    {0x0408, &language_greek},
    {0x000A, &language_spanish},
    {0x0425, &language_estonian},
    {0x042D, &language_basque},
    {0x040B, &language_finnish},
    {0x000C, &language_french},
    {0x0456, &language_galician},
    {0x041A, &language_croatian},
    {0x040E, &language_hungarian},
    {0x0010, &language_italian},
    {0x0411, &language_japanese},
    {0x0427, &language_lithuanian},
    {0x0413, &language_dutch},
    {0x0414, &language_norwegian_bokmal},
    {0x0415, &language_polish},
    {0x01FF, &language_silesian},
    {0x0416, &language_portuguese_brazil},
    {0x0816, &language_portuguese_portugal},
    {0x0018, &language_romanian},
    {0x0019, &language_russian},
    {0x041B, &language_slovak},
    {0x0424, &language_slovenian},
    {0x7C1A, &language_serbian_latin},
    {0x0C1A, &language_serbian_cyrillic},
    {0x041D, &language_swedish},
    {0x041F, &language_turkish},
    {0x0422, &language_ukrainian},
    {0x042A, &language_vietnamese},
    {0x0804, &language_simplified_chinese},
};

const language_record_t& find_language_record(u32 id) {
  for (const language_entry_t& entry : language_directory)
    if (entry.id == id) return *entry.record;
  for (const language_entry_t& entry : language_directory)
    if ((entry.id & 0xFF) == (id & 0xFF)) return *entry.record;
  return language_english;
}

} // namespace orvo
