#include "update_container.h"

#include "patch/installation_layout.h"
#include "tools/publisher/container_writer.h"
#include "tools/publisher/rsa_keys.h"
#include "tools/vcdiff_encoder/vcdiff_encoder.h"

#include <cstdio>

namespace orvo::bench {

namespace {

using publisher::block_method_t;

publisher::layout_t update_layout(const std::vector<planned_file_t>& files) {
  publisher::layout_t layout;
  layout.name = patch::game_short_name;
  layout.version = {1, 0, 0, 0};
  for (const planned_file_t& file : files) layout.entries.push_back({file.path, file.target});
  return layout;
}

// The finished delta of an edited file, encoded into the deltas folder.
bool delta_input(const std::string& folder, const planned_file_t& file, u64 index, publisher::diff_input_t& input) {
  const std::string target = targets_folder(folder) + "/" + file.path;
  input.method = block_method_t::delta;
  input.data = deltas_folder(folder) + "/" + std::to_string(index) + ".xdlt";
  input.encoded = true;
  input.encoded_output_size = std::filesystem::file_size(target);
  const vcdiff::encode_result_t encoded = vcdiff::encode_file(
      (pristine_folder(folder) + "/" + file.path).c_str(), target.c_str(), input.data.string().c_str(), {});
  if (encoded == vcdiff::encode_result_t::ok) return true;
  std::fprintf(stderr, "cannot encode the delta of %s: %s\n", file.path.c_str(), vcdiff::encode_result_name(encoded));
  return false;
}

bool add_file(publisher::container_writer_t& writer, const std::string& folder, const planned_file_t& file, u64 index) {
  publisher::diff_input_t input;
  if (file.change == file_change_t::edited && !delta_input(folder, file, index, input)) return false;
  if (file.change == file_change_t::added) {
    input.method = block_method_t::lzma;
    input.data = targets_folder(folder) + "/" + file.path;
  }
  publisher::diff_record_t record;
  const publisher::content_hash_t source =
      file.change == file_change_t::added ? publisher::empty_content_hash() : file.installed;
  return writer.add_diff(input, &record) && writer.add_file_patch(source, file.target, {record.id});
}

} // namespace

bool write_update_container(const std::string& folder, const std::vector<planned_file_t>& files,
                            const char* private_key) {
  CryptoPP::RSA::PrivateKey key;
  if (!publisher::load_private_key(private_key, key)) return false;
  std::error_code error;
  std::filesystem::create_directories(deltas_folder(folder), error);
  publisher::container_writer_t writer;
  bool ok = writer.create(update_container_path(folder)) && writer.add_layout(update_layout(files));
  for (u64 i = 0; i < files.size() && ok; ++i)
    if (files[i].change != file_change_t::unchanged) ok = add_file(writer, folder, files[i], i);
  ok = ok && writer.finish(&key);
  std::filesystem::remove_all(deltas_folder(folder), error);
  if (!ok) std::fprintf(stderr, "cannot write %s\n", update_container_path(folder).c_str());
  return ok;
}

} // namespace orvo::bench
