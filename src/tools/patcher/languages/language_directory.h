#pragma once
#include "tools/patcher/languages/language_record.h"

namespace orvo {

// A Windows language identifier and the texts shown for it.
struct language_entry_t {
  u32 id;
  const language_record_t* record;
};

constexpr u32 language_count = 32;

// In this order: the order decides which entry the 8-bit fallback finds.
extern const language_entry_t language_directory[language_count];

// The exact identifier, else the first entry with the same low 8 bits, else English.
const language_record_t& find_language_record(u32 id);

} // namespace orvo
