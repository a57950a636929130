#include "tools/publisher/diff_chooser.h"

#include "ovcore/messages/messages.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/payload_writer.h"
#include "tools/vcdiff_encoder/vcdiff_encoder.h"

#include <cryptopp/sha.h>

#include <fstream>

namespace orvo::publisher {

namespace {

std::filesystem::path candidate_path(const std::filesystem::path& prefix, const char* suffix) {
  std::filesystem::path path = prefix;
  path += suffix;
  return path;
}

bool build_lzma_candidate(const diff_pair_t& pair, u64 new_size, const std::filesystem::path& path, u64& size) {
  std::ofstream output(path, std::ios::binary | std::ios::trunc);
  if (!output) {
    log_error("[ERR] Unable to create '%s'", path_text(path).c_str());
    return false;
  }
  CryptoPP::SHA256 unused_digest;
  size = 0;
  if (!write_xz_payload(output, pair.new_file, new_size, pair.preset, unused_digest, size)) return false;
  output.close();
  if (output) return true;
  log_error("[ERR] Error while writing '%s'", path_text(path).c_str());
  return false;
}

bool build_delta_candidate(const diff_pair_t& pair, const std::filesystem::path& path, u64& size) {
  vcdiff::encode_options_t options;
  options.lzma_preset = pair.preset;
  const vcdiff::encode_result_t result = vcdiff::encode_file(path_text(pair.old_file).c_str(),
                                                             path_text(pair.new_file).c_str(),
                                                             path_text(path).c_str(), options);
  if (result != vcdiff::encode_result_t::ok) {
    log_error("[ERR] Unable to encode the delta from '%s' to '%s': %s", path_text(pair.old_file).c_str(),
              path_text(pair.new_file).c_str(), vcdiff::encode_result_name(result));
    return false;
  }
  return get_file_size(path, size);
}

} // namespace

bool choose_diff(const diff_pair_t& pair, const std::filesystem::path& work_prefix, diff_choice_t& out) {
  out = diff_choice_t();
  u64 new_size = 0;
  if (!get_file_size(pair.new_file, new_size)) return false;
  const bool delta = pair.methods.delta && !pair.old_file.empty();
  if (!pair.methods.copy && !pair.methods.lzma && !delta) {
    log_error("[ERR] No method is left to store '%s'", path_text(pair.new_file).c_str());
    return false;
  }
  if (pair.methods.copy) out.copy_size = new_size;
  const std::filesystem::path lzma_path = candidate_path(work_prefix, ".lzm2");
  if (pair.methods.lzma && !build_lzma_candidate(pair, new_size, lzma_path, out.lzma_size)) return false;
  const std::filesystem::path delta_path = candidate_path(work_prefix, ".xdlt");
  if (delta && !build_delta_candidate(pair, delta_path, out.delta_size)) return false;

  out.input.method = block_method_t::copy;
  out.input.data = pair.new_file;
  u64 best = out.copy_size;
  if (out.lzma_size < best) {
    best = out.lzma_size;
    out.input.method = block_method_t::lzma;
    out.input.data = lzma_path;
    out.input.encoded = true;
  }
  if (out.delta_size < best) {
    out.input.method = block_method_t::delta;
    out.input.data = delta_path;
    out.input.encoded = true;
  }
  out.input.encoded_output_size = new_size;
  out.input.lzma_preset = pair.preset;
  return true;
}

void remove_diff_candidates(const std::filesystem::path& work_prefix) {
  std::error_code ignored;
  std::filesystem::remove(candidate_path(work_prefix, ".lzm2"), ignored);
  std::filesystem::remove(candidate_path(work_prefix, ".xdlt"), ignored);
}

const char* block_method_name(block_method_t method) {
  switch (method) {
  case block_method_t::copy: return "COPY";
  case block_method_t::lzma: return "LZM2";
  case block_method_t::delta: return "XDLT";
  }
  return "";
}

} // namespace orvo::publisher
