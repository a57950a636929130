#pragma once
#include "patch/vcdiff_code_table.h"
#include "vcdiff_builder.h"

namespace orvo::patch::test {

inline bytes_t default_table_string() {
  bytes_t table(vcdiff_code_table_t::string_size);
  vcdiff_code_table_to_string(vcdiff_default_code_table(), table.data());
  return table;
}

// The code table string with entry 200 turned into COPY 12 (here mode) followed by RUN 4.
inline bytes_t custom_table_string() {
  bytes_t table = default_table_string();
  table[200] = 3;
  table[256 + 200] = 2;
  table[512 + 200] = 12;
  table[768 + 200] = 4;
  table[1024 + 200] = 1;
  table[1280 + 200] = 0;
  return table;
}

// The code table data: cache sizes, then a delta against the default table string that copies
// equal stretches and adds the differing bytes.
inline bytes_t code_table_data(u8 near_size, u8 same_size, const bytes_t& table) {
  const bytes_t dflt = default_table_string();
  window_t window;
  window.target_length = table.size();
  for (size_t i = 0; i < table.size();) {
    size_t j = i;
    const bool same = table[i] == dflt[i];
    while (j < table.size() && (table[j] == dflt[j]) == same) ++j;
    if (same)
      window.sections.copy(j - i, i);
    else
      window.sections.add(bytes_t(table.begin() + i, table.begin() + j));
    i = j;
  }
  bytes_t data = {near_size, same_size};
  append(data, delta_encoding(window));
  bytes_t out = integer(data.size());
  append(out, data);
  return out;
}

} // namespace orvo::patch::test
