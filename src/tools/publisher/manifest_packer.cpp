#include "tools/publisher/manifest_packer.h"

#include "ovcore/messages/messages.h"
#include "patch/container_format.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/layout_path_rules.h"

#include <map>

namespace orvo::publisher {

namespace {

class manifest_packer_t {
public:
  explicit manifest_packer_t(const manifest_t& manifest) : manifest_(manifest) {}
  bool write(const std::filesystem::path& output, const CryptoPP::RSA::PrivateKey* key);

private:
  void error(u32 line, const std::string& text) const;
  bool resolve(u32 line, const hash_ref_t& ref, content_hash_t& out) const;
  const aes_key_t* find_key(const std::string& name) const;
  bool write_layouts();
  bool write_keys();
  bool write_diffs();
  bool write_auto_diff(const manifest_diff_t& source);
  bool write_metas();
  bool write_patches();

  const manifest_t& manifest_;
  container_writer_t writer_;
  std::map<std::string, content_hash_t> diff_ids_;
  std::filesystem::path candidates_;  // prefix of the candidate payloads of automatic diffs
};

std::string candidate_text(u64 size) { return size == no_candidate ? "-" : std::to_string(size); }

void manifest_packer_t::error(u32 line, const std::string& text) const {
  log_error("[ERR] %s(%u): %s", manifest_.name.c_str(), line, text.c_str());
}

bool manifest_packer_t::resolve(u32 line, const hash_ref_t& ref, content_hash_t& out) const {
  if (ref.file.empty()) {
    out = ref.value;
    return true;
  }
  if (compute_file_hash(ref.file, out)) return true;
  error(line, "unable to hash '" + path_text(ref.file) + "'");
  return false;
}

const aes_key_t* manifest_packer_t::find_key(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (const manifest_key_t& key : manifest_.keys)
    if (key.name == name) return &key.key;
  return nullptr;
}

bool manifest_packer_t::write_layouts() {
  for (const manifest_layout_t& source : manifest_.layouts) {
    if (source.name.size() >= patch::layo_name_size) {
      error(source.line, "layout name '" + source.name + "' is longer than 63 bytes");
      return false;
    }
    layout_t layout;
    layout.name = source.name;
    layout.version = source.version;
    if (!resolve(source.line, source.match, layout.match_hash)) return false;
    for (const manifest_entry_t& entry : source.entries) {
      if (const char* problem = layout_path_problem(entry.path)) {
        error(entry.line, "path '" + entry.path + "' " + problem);
        return false;
      }
      layout.entries.push_back({entry.path, {}});
      if (!resolve(entry.line, entry.hash, layout.entries.back().hash)) return false;
    }
    if (!writer_.add_layout(layout)) {
      error(source.line, "layout '" + source.name + "' cannot be written");
      return false;
    }
  }
  return true;
}

bool manifest_packer_t::write_keys() {
  for (const manifest_key_set_t& set : manifest_.key_sets) {
    std::vector<aes_key_t> keys;
    for (const std::string& name : set.names) {
      const aes_key_t* found = find_key(name);
      if (!found) {
        error(set.line, "unknown key '" + name + "'");
        return false;
      }
      keys.push_back(*found);
    }
    if (!writer_.add_keys(keys)) {
      error(set.line, "keys cannot be written");
      return false;
    }
  }
  return true;
}

bool manifest_packer_t::write_auto_diff(const manifest_diff_t& source) {
  diff_pair_t pair;
  pair.old_file = source.old_data;
  pair.new_file = source.data;
  pair.methods = source.methods;
  pair.preset = source.preset;
  diff_choice_t choice;
  diff_record_t record;
  bool written = choose_diff(pair, candidates_, choice);
  if (written) {
    choice.input.id = source.has_id ? &source.id : nullptr;
    written = writer_.add_diff(choice.input, &record);
  }
  remove_diff_candidates(candidates_);
  if (!written) {
    error(source.line, "diff '" + source.name + "' cannot be written");
    return false;
  }
  log_info("Diff '%s': %s, %I64u bytes of data (COPY %s, LZM2 %s, XDLT %s)", source.name.c_str(),
           block_method_name(choice.input.method), record.data_size, candidate_text(choice.copy_size).c_str(),
           candidate_text(choice.lzma_size).c_str(), candidate_text(choice.delta_size).c_str());
  diff_ids_[source.name] = record.id;
  return true;
}

bool manifest_packer_t::write_diffs() {
  for (const manifest_diff_t& source : manifest_.diffs) {
    if (source.automatic) {
      if (!write_auto_diff(source)) return false;
      continue;
    }
    diff_input_t input;
    input.method = source.method;
    input.data = source.data;
    input.lzma_preset = source.preset;
    input.key = find_key(source.key);
    input.id = source.has_id ? &source.id : nullptr;
    input.encoded_output_size = source.output_size;
    if (source.method == block_method_t::delta && !source.has_output_size &&
        !get_file_size(source.target, input.encoded_output_size)) {
      error(source.line, "target '" + path_text(source.target) + "' cannot be measured");
      return false;
    }
    if (input.key) log_warning("[WRN] Diff '%s' is keyed; its data is stored unencrypted", source.name.c_str());
    diff_record_t record;
    if (!writer_.add_diff(input, &record)) {
      error(source.line, "diff '" + source.name + "' cannot be written");
      return false;
    }
    diff_ids_[source.name] = record.id;
  }
  return true;
}

bool manifest_packer_t::write_metas() {
  for (const manifest_meta_t& meta : manifest_.metas) {
    if (!writer_.add_meta(meta.id, meta.data_size, find_key(meta.key))) {
      error(meta.line, "declaration of diff " + to_hex(meta.id) + " cannot be written");
      return false;
    }
  }
  return true;
}

bool manifest_packer_t::write_patches() {
  for (const manifest_patch_t& patch : manifest_.patches) {
    content_hash_t source;
    content_hash_t target;
    if (!resolve(patch.line, patch.source, source) || !resolve(patch.line, patch.target, target)) return false;
    std::vector<content_hash_t> ids;
    for (const manifest_diff_ref_t& ref : patch.diffs) {
      const auto named = diff_ids_.find(ref.name);
      if (!ref.name.empty() && named == diff_ids_.end()) {
        error(patch.line, "unknown diff '" + ref.name + "'");
        return false;
      }
      ids.push_back(ref.name.empty() ? ref.id : named->second);
    }
    if (!writer_.add_file_patch(source, target, ids)) {
      error(patch.line, "file patch cannot be written");
      return false;
    }
  }
  return true;
}

bool manifest_packer_t::write(const std::filesystem::path& output, const CryptoPP::RSA::PrivateKey* key) {
  candidates_ = output;
  candidates_ += ".diff";
  return writer_.create(output) && write_layouts() && write_keys() && write_diffs() && write_metas() &&
         write_patches() && writer_.finish(key);
}

} // namespace

bool pack_manifest(const manifest_t& manifest, const std::filesystem::path& output,
                   const CryptoPP::RSA::PrivateKey* key) {
  std::filesystem::path partial = output;
  partial += ".partial";
  bool packed = manifest_packer_t(manifest).write(partial, key);
  packed = packed && move_into_place(partial, output);
  std::error_code ignored;
  if (!packed) std::filesystem::remove(partial, ignored);
  return packed;
}

} // namespace orvo::publisher
