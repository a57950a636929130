#pragma once
#include "patch/byte_buffer.h"
#include "patch/vcdiff_address_cache.h"
#include "patch/vcdiff_code_table.h"
#include "patch/vcdiff_integer.h"
#include "patch/vcdiff_secondary.h"

namespace orvo::patch {

// The source as the window decoder sees it: its size and the one block it may read now.
struct vcdiff_source_t {
  bool registered = false;
  u32 block_size = 0;
  u64 total_size = 0;
  bool has_block = false;
  u64 block_number = 0;
  const u8* block = nullptr;
  u32 block_length = 0;
};

// The segment that COPY addresses below its length refer to.
struct vcdiff_copy_window_t {
  enum kind_t { none, source, target };
  kind_t kind = none;
  u64 position = 0;
  u64 length = 0;
};

// Decodes the delta encoding of one target window: sections, instructions, checksum.
class vcdiff_window_decoder_t {
public:
  enum run_result_t { run_complete, run_block_needed, run_failed };

  bool configure(const vcdiff_code_table_t& table);
  // Null when the header declared no secondary compressor.
  void set_secondary(vcdiff_secondary_t* secondary) { secondary_ = secondary; }

  // Parses the encoding, which must stay in place until the window is complete.
  vcdiff_error_t begin(const vcdiff_copy_window_t& copy_window, const u8* encoding, u64 size, bool has_checksum);
  // Executes instructions until the window is complete, a source block is missing or it fails.
  run_result_t run(const vcdiff_source_t& source);

  vcdiff_error_t error() const { return error_; }
  u64 needed_block() const { return needed_block_; }
  const u8* target() const { return targets_[current_target_].data(); }
  u32 target_length() const { return target_length_; }
  // Later windows decode into the other of two target buffers, so that this window's target
  // stays valid while the next window decodes.
  void switch_target() { current_target_ ^= 1; }

private:
  struct instruction_t {
    u8 type = vcd_noop;
    u8 mode = 0;
    u64 size = 0;
  };

  vcdiff_error_t prepare_section(u8 compressed, const u8* bytes, u64 size, byte_buffer_t& buffer, u32& budget,
                                 vcdiff_reader_t& out);
  vcdiff_error_t read_instruction_size(const vcdiff_instruction_code_t& code, instruction_t& out);
  vcdiff_error_t start(const instruction_t& instruction);
  vcdiff_error_t start_copy(const instruction_t& instruction);
  u8* target_data() { return targets_[current_target_].data(); }
  void copy_within_target(u64 from, u64 size);
  void update_checksum();
  run_result_t continue_source_copy(const vcdiff_source_t& source);
  run_result_t finish();
  run_result_t fail(vcdiff_error_t error);

  const vcdiff_code_table_t* table_ = nullptr;
  vcdiff_secondary_t* secondary_ = nullptr;
  vcdiff_address_cache_t cache_;
  byte_buffer_t sections_[3];
  byte_buffer_t targets_[2];
  u32 current_target_ = 0;

  vcdiff_copy_window_t copy_window_;
  vcdiff_reader_t data_;
  vcdiff_reader_t instructions_;
  vcdiff_reader_t addresses_;
  bool has_checksum_ = false;
  u32 checksum_ = 0;
  // Adler-32 of the target bytes before checked_length_, taken while they are still in cache.
  u32 running_checksum_ = 0;
  u32 checked_length_ = 0;
  u32 target_length_ = 0;
  u32 target_position_ = 0;
  bool has_second_ = false;
  instruction_t second_;
  u64 copy_from_ = 0;
  u32 copy_left_ = 0;
  u64 needed_block_ = 0;
  vcdiff_error_t error_ = vcdiff_ok;
};

} // namespace orvo::patch
