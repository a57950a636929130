#pragma once
#include "ovcore/strings/strings.h"

namespace orvo {

// The user's interface language as a Windows language identifier.
u16 get_ui_language();

// Windows language identifier of a POSIX locale name such as "de_AT.UTF-8"; 0x0409 for "C",
// "POSIX", an empty name or an unknown language.
u16 language_from_locale_name(const string& locale);

} // namespace orvo
