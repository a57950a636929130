#include "scale_container.h"

#include "random_file.h"
#include "scale_installation.h"
#include "tools/publisher/container_writer.h"
#include "tools/publisher/rsa_keys.h"

#include <cstdio>

namespace orvo::bench {

namespace {

constexpr u64 diff_payload_size = 48;

bool add_layouts(publisher::container_writer_t& writer) {
  for (u32 layout = 0; layout < installation_layout_count; ++layout) {
    publisher::layout_t record;
    record.name = installation_layout_name(layout);
    record.version = {1, 0, 0, 0};
    for (u32 file = layout * patch::layo_entry_limit; file < (layout + 1) * patch::layo_entry_limit; ++file)
      record.entries.push_back({installed_path(file), scale_records_t::layout_target(file)});
    if (!writer.add_layout(record)) return false;
  }
  return true;
}

// Every diff carries the same small content under its own id.
bool add_diffs(publisher::container_writer_t& writer, const scale_records_t& records, const std::string& folder) {
  publisher::diff_input_t diff;
  diff.method = publisher::block_method_t::copy;
  diff.data = folder + "/diff_payload.bin";
  xorshift_random_t random{0xD1B54A32D192ED03ull};
  sha256_digest_t payload_digest;
  if (!write_random_file(diff.data, diff_payload_size, random, payload_digest)) return false;
  for (const digest_t& id : records.diff_ids()) {
    diff.id = &id;
    if (!writer.add_diff(diff)) return false;
  }
  return true;
}

bool add_file_patches(publisher::container_writer_t& writer, const scale_records_t& records) {
  for (const planned_file_patch_t& patch : records.file_patches())
    if (!writer.add_file_patch(patch.source, patch.target, patch.diff_ids)) return false;
  return true;
}

} // namespace

std::string scale_container_path(const std::string& folder, u32 record_count) {
  return folder + "/container_" + std::to_string(record_count) + ".ktlp";
}

bool write_scale_container(const std::string& folder, const scale_records_t& records, const char* private_key) {
  CryptoPP::RSA::PrivateKey key;
  if (!publisher::load_private_key(private_key, key)) return false;
  publisher::container_writer_t writer;
  const bool written = writer.create(scale_container_path(folder, records.record_count())) && add_layouts(writer) &&
                       writer.add_keys(records.content_keys()) && add_diffs(writer, records, folder) &&
                       add_file_patches(writer, records) && writer.finish(&key);
  if (!written) std::fprintf(stderr, "cannot write %s\n", scale_container_path(folder, records.record_count()).c_str());
  return written;
}

} // namespace orvo::bench
