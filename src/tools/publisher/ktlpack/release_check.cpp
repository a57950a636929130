#include "release_check.h"

#include "container_opening.h"

#include "ovcore/messages/messages.h"
#include "ovcore/ufs/file_system.h"
#include "patch/container_pool.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/rsa_keys.h"

#include <cstring>
#include <set>

namespace orvo::publisher {

namespace {

orvo::content_hash_t engine_hash(const content_hash_t& hash) {
  orvo::content_hash_t out;
  std::memcpy(out.bytes, hash.data(), hash.size());
  return out;
}

content_hash_t publisher_hash(const orvo::content_hash_t& hash) {
  content_hash_t out;
  std::memcpy(out.data(), hash.bytes, out.size());
  return out;
}

bool open_release(patch::container_pool_t& pool, const std::filesystem::path& container,
                  const CryptoPP::RSA::PublicKey& key) {
  const std::string der = encode_public_key(key);
  if (der.empty()) return false;
  const rsa_public_key_t record = {"signing key", false, reinterpret_cast<const u8*>(der.data()),
                                   static_cast<u32>(der.size())};
  array_dyn_t<const rsa_public_key_t*> keys;
  auto_ptr_t<file_t> file = open_file_read(path_text(container).c_str());
  if (!file || !keys.push(&record)) {
    log_error("[ERR] Unable to open '%s'", path_text(container).c_str());
    return false;
  }
  const patch::container_open_result_t opened = pool.add_container(file, nullptr, &keys);
  if (opened == patch::container_open_result_t::ok) return true;
  log_error("[ERR] The updater's reader refuses '%s': %s", path_text(container).c_str(),
            patch::container_open_result_name(static_cast<u32>(opened)));
  return false;
}

bool check_layouts(const patch::container_pool_t& pool, const release_plan_t& plan) {
  for (const layout_t& layout : plan.layouts) {
    const orvo::content_hash_t match = engine_hash(layout.match_hash);
    const patch::layout_record_t* found = pool.find_layout(layout.name.c_str(), &match);
    if (found && found->paths.size() == layout.entries.size()) continue;
    log_error("[ERR] The updater does not find layout %s as written", layout.name.c_str());
    return false;
  }
  return true;
}

// The chain one older content takes to its target; adds its diffs to `used`.
bool check_chain(const patch::container_pool_t& pool, const std::string& label, const std::string& path,
                 const content_hash_t& from, const version_file_t& target, std::set<content_hash_t>& used) {
  array_dyn_t<orvo::content_hash_t> chain;
  u64 size = ~u64(0);
  if (!pool.find_patch_chain(chain, engine_hash(from), engine_hash(target.hash)) || chain.size() == 0) {
    log_error("[ERR] No patch chain leads '%s' of version '%s' to the target", path.c_str(), label.c_str());
    return false;
  }
  for (u32 i = 0; i < chain.size(); ++i) {
    if (!pool.has_diff_data(chain[i])) {
      log_error("[ERR] A diff of the chain of '%s' of version '%s' has no data", path.c_str(), label.c_str());
      return false;
    }
    used.insert(publisher_hash(chain[i]));
  }
  if (pool.get_diff_output_size(size, chain[chain.size() - 1]) == patch::diff_size_result_t::ok && size == target.size)
    return true;
  log_error("[ERR] The chain of '%s' of version '%s' does not end at the target's size", path.c_str(), label.c_str());
  return false;
}

} // namespace

bool check_release(const std::filesystem::path& container, const CryptoPP::RSA::PublicKey& key,
                   const release_description_t& description, const release_trees_t& trees,
                   const release_plan_t& plan, const release_written_t& written, std::vector<u64>& diff_bytes) {
  const file_layer_t files;
  patch::container_pool_t pool;
  if (!open_release(pool, container, key) || !check_layouts(pool, plan)) return false;
  if (plan.layouts_only) return true;
  diff_bytes.assign(trees.older.size(), 0);
  for (size_t i = 0; i < trees.older.size(); ++i) {
    std::set<content_hash_t> used;
    for (const auto& [path, file] : trees.target) {
      const auto old = trees.older[i].find(path);
      const content_hash_t from = old == trees.older[i].end() ? empty_content_hash() : old->second.hash;
      if (!file.size || from == file.hash) continue;
      if (!check_chain(pool, description.older[i].label, path, from, file, used)) return false;
    }
    for (const content_hash_t& id : used) {
      const auto size = written.diff_sizes.find(id);
      if (size != written.diff_sizes.end()) diff_bytes[i] += size->second;
    }
  }
  return true;
}

} // namespace orvo::publisher
