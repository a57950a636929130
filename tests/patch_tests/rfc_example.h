#pragma once
#include "vcdiff_builder.h"

namespace orvo::patch::test {

// The source and target windows of RFC 3284's instruction example.
inline const bytes_t rfc_source = to_bytes("abcdefghijklmnop");
inline const bytes_t rfc_target = to_bytes("abcdwxyzefghefghefghefghzzzz");

// COPY 4,0; ADD 4,wxyz; COPY 4,4; COPY 12,24; RUN 4,z with every address coded by itself.
inline sections_t rfc_sections() {
  sections_t sections;
  sections.copy(4, 0).add(to_bytes("wxyz")).copy(4, 4).copy(12, 24).run(4, 'z');
  return sections;
}

inline bytes_t rfc_delta(sections_t sections = rfc_sections()) {
  bytes_t delta = header();
  append_window(delta, source_window(0, rfc_source.size(), rfc_target, std::move(sections)));
  return delta;
}

} // namespace orvo::patch::test
