#include "tools/vcdiff_encoder/vcdiff_encoder.h"

#include "ovcore/messages/messages.h"
#include "ovcore/strings/printf_format.h"
#include "tools/vcdiff_encoder/adler32.h"
#include "tools/vcdiff_encoder/delta_format.h"
#include "tools/vcdiff_encoder/file_stream.h"
#include "tools/vcdiff_encoder/instruction_encoder.h"
#include "tools/vcdiff_encoder/lzma_section.h"
#include "tools/vcdiff_encoder/segment_planner.h"
#include "tools/vcdiff_encoder/source_index.h"
#include "tools/vcdiff_encoder/window_matcher.h"

#include <algorithm>
#include <new>

namespace orvo::vcdiff {

namespace {

constexpr u32 max_window_size = 16u << 20;

// Encodes one delta; every failure is logged and kept in the report.
class delta_encoder_t {
public:
  delta_encoder_t(byte_reader_t* source, byte_reader_t& target, byte_writer_t& output, const encode_options_t& options,
                  encode_report_t& report)
      : source_(source), target_(target), output_(output), options_(options), report_(report) {}

  encode_result_t run();

private:
  encode_result_t fail(encode_result_t result, const char* format, ...);
  bool check_options();
  bool write(const std::vector<u8>& bytes);
  encode_result_t encode_window(u64 offset, u32 length);
  encode_result_t load_segment(u64 offset, u32 length);
  encode_result_t compress_sections(window_header_t* header);

  byte_reader_t* source_;
  byte_reader_t& target_;
  byte_writer_t& output_;
  const encode_options_t& options_;
  encode_report_t& report_;
  u64 source_size_ = 0;
  bool use_source_index_ = false;
  source_index_t source_index_;
  std::vector<anchor_match_t> anchor_matches_;
  source_segment_t loaded_segment_;
  std::vector<u8> segment_;
  std::vector<u8> window_;
  window_matcher_t matcher_;
  std::vector<match_instruction_t> instructions_;
  instruction_encoder_t instruction_encoder_;
  window_sections_t sections_;
  window_sections_t stored_;
  std::vector<u8> header_bytes_;
};

encode_result_t delta_encoder_t::fail(encode_result_t result, const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  format_text(text, sizeof(text), format, args);
  va_end(args);
  log_error("%s", text);
  report_.error = text;
  return result;
}

bool delta_encoder_t::check_options() {
  return options_.window_size >= 1 && options_.window_size <= max_window_size && options_.source_segment_size >= 1 &&
         options_.source_segment_size <= options_.max_source_segment_size &&
         options_.max_source_segment_size <= decoder_visible_source && options_.lzma_preset <= 9;
}

bool delta_encoder_t::write(const std::vector<u8>& bytes) {
  if (bytes.empty()) return true;
  if (!output_.write(bytes.data(), bytes.size())) return false;
  report_.stats.delta_bytes += bytes.size();
  return true;
}

encode_result_t delta_encoder_t::run() {
  if (!check_options())
    return fail(encode_result_t::invalid_options,
                "[ERR] Invalid delta options: window %u, segment %u, largest segment %u, preset %u",
                options_.window_size, options_.source_segment_size, options_.max_source_segment_size,
                options_.lzma_preset);
  matcher_.set_copy_lengths(options_.container_form ? compressed_copy_lengths : plain_copy_lengths);
  instruction_encoder_.set_favour_repeated_addresses(options_.container_form);
  source_size_ = source_ ? source_->size() : 0;
  use_source_index_ = source_size_ > options_.source_segment_size;
  if (use_source_index_ && !source_index_.build(*source_))
    return fail(encode_result_t::source_read_error, "[ERR] Unable to index the delta source");

  header_bytes_.clear();
  append_delta_header(&header_bytes_, options_.container_form, secondary_compressor_lzma);
  if (!write(header_bytes_)) return fail(encode_result_t::write_error, "[ERR] Unable to write the delta header");

  const u64 target_size = target_.size();
  window_.resize(static_cast<size_t>(std::min<u64>(options_.window_size, target_size)));
  for (u64 offset = 0; offset < target_size; offset += options_.window_size) {
    const u32 length = static_cast<u32>(std::min<u64>(options_.window_size, target_size - offset));
    const encode_result_t result = encode_window(offset, length);
    if (result != encode_result_t::ok) return result;
  }
  report_.stats.target_bytes = target_size;
  return encode_result_t::ok;
}

encode_result_t delta_encoder_t::load_segment(u64 offset, u32 length) {
  anchor_matches_.clear();
  if (use_source_index_) source_index_.find(window_.data(), length, &anchor_matches_);
  const segment_limits_t limits{options_.source_segment_size, options_.max_source_segment_size, rolling_hash_t::width};
  const source_segment_t segment = plan_source_segment(anchor_matches_, source_size_, offset, limits);
  if (segment.offset == loaded_segment_.offset && segment.length == loaded_segment_.length) return encode_result_t::ok;
  segment_.resize(static_cast<size_t>(segment.length));
  if (!source_->read(segment.offset, segment_.data(), segment_.size()))
    return fail(encode_result_t::source_read_error, "[ERR] Unable to read the source segment of %I64u bytes at %I64u",
                segment.length, segment.offset);
  loaded_segment_ = segment;
  matcher_.set_source(segment_.data(), static_cast<u32>(segment_.size()));
  return encode_result_t::ok;
}

encode_result_t delta_encoder_t::compress_sections(window_header_t* header) {
  std::vector<u8>* plain[] = {&sections_.data, &sections_.instructions, &sections_.addresses};
  std::vector<u8>* stored[] = {&stored_.data, &stored_.instructions, &stored_.addresses};
  const u8 bits[] = {delta_data_compressed, delta_instructions_compressed, delta_addresses_compressed};
  for (int i = 0; i < 3; ++i) {
    const section_compression_t result = compress_section_lzma(*plain[i], options_.lzma_preset, stored[i]);
    if (result == section_compression_t::failed)
      return fail(encode_result_t::compression_error, "[ERR] Unable to compress a delta section");
    if (result == section_compression_t::smaller) {
      header->delta_indicator |= bits[i];
      ++report_.stats.compressed_sections;
    } else {
      stored[i]->swap(*plain[i]);
    }
  }
  return encode_result_t::ok;
}

encode_result_t delta_encoder_t::encode_window(u64 offset, u32 length) {
  if (!target_.read(offset, window_.data(), length))
    return fail(encode_result_t::target_read_error, "[ERR] Unable to read the delta target at %I64u", offset);
  if (source_size_ > 0) {
    const encode_result_t result = load_segment(offset, length);
    if (result != encode_result_t::ok) return result;
  }
  matcher_.match(window_.data(), length, &instructions_);

  encode_stats_t& stats = report_.stats;
  const bool uses_source = std::any_of(instructions_.begin(), instructions_.end(),
                                       [](const match_instruction_t& i) { return i.from_source; });
  const u64 source_length = uses_source ? loaded_segment_.length : 0;
  instruction_encoder_.begin_window(source_length, &sections_);
  for (const match_instruction_t& instruction : instructions_) {
    if (instruction.type == instruction_add) {
      instruction_encoder_.add(window_.data() + instruction.target_offset, instruction.size);
      stats.add_bytes += instruction.size;
    } else if (instruction.type == instruction_run) {
      instruction_encoder_.run(window_[instruction.target_offset], instruction.size);
      stats.run_bytes += instruction.size;
    } else {
      instruction_encoder_.copy(instruction.from_source ? instruction.origin : source_length + instruction.origin,
                                instruction.size);
      (instruction.from_source ? stats.source_copy_bytes : stats.target_copy_bytes) += instruction.size;
    }
  }
  instruction_encoder_.end_window();

  window_header_t header;
  header.has_source = uses_source;
  header.segment_offset = loaded_segment_.offset;
  header.segment_length = source_length;
  header.target_length = length;
  if (options_.container_form) {
    header.has_checksum = true;
    header.checksum = adler32(window_.data(), length);
    const encode_result_t result = compress_sections(&header);
    if (result != encode_result_t::ok) return result;
  } else {
    stored_.data.swap(sections_.data);
    stored_.instructions.swap(sections_.instructions);
    stored_.addresses.swap(sections_.addresses);
  }
  header_bytes_.clear();
  append_window_header(&header_bytes_, header, stored_);
  if (!write(header_bytes_) || !write(stored_.data) || !write(stored_.instructions) || !write(stored_.addresses))
    return fail(encode_result_t::write_error, "[ERR] Unable to write the delta window for target offset %I64u", offset);

  ++stats.windows;
  if (uses_source) {
    ++stats.windows_with_source;
    stats.largest_segment = std::max(stats.largest_segment, source_length);
  }
  return encode_result_t::ok;
}

} // namespace

const char* encode_result_name(encode_result_t result) {
  switch (result) {
  case encode_result_t::ok: return "ok";
  case encode_result_t::invalid_options: return "invalid_options";
  case encode_result_t::source_read_error: return "source_read_error";
  case encode_result_t::target_read_error: return "target_read_error";
  case encode_result_t::write_error: return "write_error";
  case encode_result_t::compression_error: return "compression_error";
  case encode_result_t::out_of_memory: return "out_of_memory";
  }
  return "unknown";
}

encode_result_t encode(byte_reader_t* source, byte_reader_t& target, byte_writer_t& output,
                       const encode_options_t& options, encode_report_t* report) {
  encode_report_t local_report;
  encode_report_t& used_report = report ? *report : local_report;
  used_report = encode_report_t{};
  try {
    delta_encoder_t encoder(source, target, output, options, used_report);
    return encoder.run();
  } catch (const std::bad_alloc&) {
    log_error("[ERR] Out of memory while encoding a delta");
    used_report.error = "[ERR] Out of memory while encoding a delta";
    return encode_result_t::out_of_memory;
  }
}

encode_result_t encode_file(const string& source_path, const string& target_path, const string& output_path,
                            const encode_options_t& options, encode_report_t* report) {
  encode_report_t local_report;
  encode_report_t& used_report = report ? *report : local_report;
  used_report = encode_report_t{};
  file_reader_t source;
  if (!source_path.empty() && !source.open(source_path)) {
    used_report.error = "[ERR] Unable to open the delta source";
    return encode_result_t::source_read_error;
  }
  file_reader_t target;
  if (!target.open(target_path)) {
    used_report.error = "[ERR] Unable to open the delta target";
    return encode_result_t::target_read_error;
  }
  file_writer_t output;
  if (!output.open(output_path)) {
    used_report.error = "[ERR] Unable to create the delta file";
    return encode_result_t::write_error;
  }
  encode_result_t result = encode(source_path.empty() ? nullptr : &source, target, output, options, &used_report);
  if (result == encode_result_t::ok && !output.close()) {
    used_report.error = "[ERR] Unable to write the delta file";
    result = encode_result_t::write_error;
  }
  if (result != encode_result_t::ok) output.discard();
  return result;
}

} // namespace orvo::vcdiff
