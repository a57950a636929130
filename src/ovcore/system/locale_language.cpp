#include "ovcore/system/ui_language.h"

#include <cstring>

namespace orvo {

namespace {

struct locale_language_t {
  const char* name;
  u16 language;
};

constexpr u16 english_us = 0x0409;

// Countries whose identifier differs from the language's default one.
constexpr locale_language_t country_languages[] = {
    {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_NZ", 0x1409}, {"en_IE", 0x1809},
    {"en_ZA", 0x1C09}, {"en_IN", 0x4009}, {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"de_LU", 0x1007},
    {"de_LI", 0x1407}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"fr_LU", 0x140C},
    {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"es_AR", 0x2C0A}, {"es_CO", 0x240A}, {"es_CL", 0x340A},
    {"es_US", 0x540A}, {"it_CH", 0x0810}, {"pt_PT", 0x0816}, {"nl_BE", 0x0813}, {"sv_FI", 0x081D},
    {"zh_CN", 0x0804}, {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004}, {"sr_RS", 0x281A},
    {"sr_ME", 0x301A}, {"bs_BA", 0x141A}, {"nn_NO", 0x0814}, {"ar_EG", 0x0C01}, {"ar_AE", 0x3801},
};

// Each language's default identifier (primary language with its default sub-language).
constexpr locale_language_t languages[] = {
    {"ar", 0x0401}, {"bg", 0x0402}, {"ca", 0x0403}, {"zh", 0x0404}, {"cs", 0x0405}, {"da", 0x0406},
    {"de", 0x0407}, {"el", 0x0408}, {"en", 0x0409}, {"es", 0x040A}, {"fi", 0x040B}, {"fr", 0x040C},
    {"he", 0x040D}, {"hu", 0x040E}, {"is", 0x040F}, {"it", 0x0410}, {"ja", 0x0411}, {"ko", 0x0412},
    {"nl", 0x0413}, {"nb", 0x0414}, {"no", 0x0414}, {"nn", 0x0814}, {"pl", 0x0415}, {"pt", 0x0416},
    {"ro", 0x0418}, {"ru", 0x0419}, {"hr", 0x041A}, {"sr", 0x0C1A}, {"sk", 0x041B}, {"sq", 0x041C},
    {"sv", 0x041D}, {"th", 0x041E}, {"tr", 0x041F}, {"ur", 0x0420}, {"id", 0x0421}, {"uk", 0x0422},
    {"be", 0x0423}, {"sl", 0x0424}, {"et", 0x0425}, {"lv", 0x0426}, {"lt", 0x0427}, {"fa", 0x0429},
    {"vi", 0x042A}, {"hy", 0x042B}, {"az", 0x042C}, {"eu", 0x042D}, {"mk", 0x042F}, {"af", 0x0436},
    {"ka", 0x0437}, {"hi", 0x0439}, {"ms", 0x043E}, {"kk", 0x043F}, {"sw", 0x0441}, {"gl", 0x0456},
};

bool same_ascii_text(const char* a, const char* b, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    const char ca = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    const char cb = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
    if (ca != cb) return false;
  }
  return true;
}

template <size_t N>
u16 find_language(const locale_language_t (&table)[N], const char* name, size_t length) {
  for (const locale_language_t& entry : table)
    if (std::strlen(entry.name) == length && same_ascii_text(entry.name, name, length)) return entry.language;
  return 0;
}

} // namespace

u16 language_from_locale_name(const string& locale) {
  const char* name = locale.c_str();
  const size_t language_length = std::strcspn(name, "_.@");
  const size_t full_length = language_length + (name[language_length] == '_' ? std::strcspn(name + language_length, ".@") : 0);
  if (const u16 language = find_language(country_languages, name, full_length)) return language;
  if (const u16 language = find_language(languages, name, language_length)) return language;
  return english_us;
}

} // namespace orvo
