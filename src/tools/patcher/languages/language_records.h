#pragma once
#include "tools/patcher/languages/language_record.h"

namespace orvo {

// The Steam refusal stays English in every language.
inline constexpr const char* steam_unsupported_text =
    "Steam version of the game is not supported by this update! Steam will automatically update the game unless "
    "automatic updates are disabled.";

extern const language_record_t language_english;
extern const language_record_t language_czech;
extern const language_record_t language_german;
extern const language_record_t language_greek;
extern const language_record_t language_spanish;
extern const language_record_t language_estonian;
extern const language_record_t language_basque;
extern const language_record_t language_finnish;
extern const language_record_t language_french;
extern const language_record_t language_galician;
extern const language_record_t language_croatian;
extern const language_record_t language_hungarian;
extern const language_record_t language_italian;
extern const language_record_t language_japanese;
extern const language_record_t language_lithuanian;
extern const language_record_t language_dutch;
extern const language_record_t language_norwegian_bokmal;
extern const language_record_t language_polish;
extern const language_record_t language_silesian;
extern const language_record_t language_portuguese_brazil;
extern const language_record_t language_portuguese_portugal;
extern const language_record_t language_romanian;
extern const language_record_t language_russian;
extern const language_record_t language_slovak;
extern const language_record_t language_slovenian;
extern const language_record_t language_serbian_latin;
extern const language_record_t language_serbian_cyrillic;
extern const language_record_t language_swedish;
extern const language_record_t language_turkish;
extern const language_record_t language_ukrainian;
extern const language_record_t language_vietnamese;
extern const language_record_t language_simplified_chinese;

} // namespace orvo
