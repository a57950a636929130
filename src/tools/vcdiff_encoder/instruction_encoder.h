#pragma once
#include "ovcore/types.h"
#include "tools/vcdiff_encoder/address_cache.h"
#include "tools/vcdiff_encoder/code_table.h"

#include <vector>

namespace orvo::vcdiff {

// The three sections of one window's delta encoding.
struct window_sections_t {
  std::vector<u8> data;
  std::vector<u8> instructions;
  std::vector<u8> addresses;
};

// Turns ADD, RUN and COPY instructions of one target window into its sections with the
// default code table, combining neighbours into one code where the table has an entry for them.
class instruction_encoder_t {
public:
  instruction_encoder_t() : table_(code_table_t::default_table()) {}

  // See address_cache_t::set_favour_repeats.
  void set_favour_repeated_addresses(bool favour) { cache_.set_favour_repeats(favour); }
  // Starts a window whose addresses begin after a source segment of source_length bytes.
  void begin_window(u64 source_length, window_sections_t* sections);
  void add(const u8* bytes, u32 size);
  void run(u8 byte, u32 size);
  // address is a position in the source segment followed by the target window.
  void copy(u64 address, u32 size);
  // Writes the instruction still held back for combination.
  void end_window();

private:
  void push(const code_instruction_t& instruction);
  void write_single(const code_instruction_t& instruction);

  const code_table_t& table_;
  address_cache_t cache_;
  window_sections_t* sections_ = nullptr;
  u64 here_ = 0;
  code_instruction_t pending_{};
  bool has_pending_ = false;
};

} // namespace orvo::vcdiff
