#pragma once
#include "ovcore/types.h"

#include <filesystem>
#include <iosfwd>

namespace orvo::publisher {

// The program being rewritten and the container it is to carry; both streamed, never loaded whole.
struct embedding_t {
  std::istream& program;
  u64 program_size;
  std::istream& container;
  u64 container_size;
  std::iostream& output;  // read back where the format has a checksum over the whole file
};

// `value` rounded up to a multiple of `alignment` (0 and 1: no alignment).
inline u64 align_up(u64 value, u64 alignment) {
  return alignment <= 1 ? value : (value + alignment - 1) / alignment * alignment;
}

// Write a copy of the program that carries the container, each for one executable format; false
// (logged) when the program is damaged, not of that format, or cannot carry the container.
bool embed_in_elf(const embedding_t& embedding);
bool embed_in_pe(const embedding_t& embedding);

} // namespace orvo::publisher
