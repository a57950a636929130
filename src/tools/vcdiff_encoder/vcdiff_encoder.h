#pragma once
#include "ovcore/strings/strings.h"
#include "ovcore/types.h"
#include "tools/vcdiff_encoder/byte_stream.h"

#include <string>

namespace orvo::vcdiff {

struct encode_options_t {
  // The updater's form: secondary compressor id 2 (LZMA) for each section where it makes the
  // section smaller, and an Adler-32 checksum in every window. Off: plain RFC 3284 deltas
  // (no secondary compression, no checksum, no application header) for any standard decoder.
  bool container_form = true;
  // Target window length, 1 byte to 16 MiB.
  u32 window_size = 16u << 20;
  // Usual source segment length, 1 byte to max_source_segment_size.
  u32 source_segment_size = 8u << 20;
  // Segments grow up to this length (at most 256 MiB, what the updater keeps visible) where
  // they cover noticeably more of a window's matches.
  u32 max_source_segment_size = 256u << 20;
  // LZMA preset 0 to 9 of the secondary compression.
  u32 lzma_preset = 6;
};

enum class encode_result_t : u32 {
  ok = 0,
  invalid_options = 1,
  source_read_error = 2,
  target_read_error = 3,
  write_error = 4,
  compression_error = 5,
  out_of_memory = 6,
};

const char* encode_result_name(encode_result_t result);

struct encode_stats_t {
  u64 target_bytes = 0;
  u64 delta_bytes = 0;
  u64 windows = 0;
  u64 windows_with_source = 0;
  u64 largest_segment = 0;
  u64 source_copy_bytes = 0;
  u64 target_copy_bytes = 0;
  u64 run_bytes = 0;
  u64 add_bytes = 0;
  u64 compressed_sections = 0;
};

struct encode_report_t {
  encode_stats_t stats;
  std::string error; // the reason of a failure, as logged
};

// Encodes target as a delta against source (null: no source) into output, window by window;
// only one target window and one source segment are held in memory at a time.
encode_result_t encode(byte_reader_t* source, byte_reader_t& target, byte_writer_t& output,
                       const encode_options_t& options, encode_report_t* report = nullptr);

// File form of encode(); an empty source path means no source. Paths are UTF-8. A failed
// encoding leaves no output file behind.
encode_result_t encode_file(const string& source_path, const string& target_path, const string& output_path,
                            const encode_options_t& options, encode_report_t* report = nullptr);

} // namespace orvo::vcdiff
