#include "patch/container_pool.h"

#include "ovcore/messages/messages.h"
#include "ovutils/ufs/mem_file.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace orvo::patch {

namespace {

bool version_less(const u32 (&a)[4], const u32 (&b)[4]) {
  for (u32 i = 0; i < 4; ++i)
    if (a[i] != b[i]) return a[i] < b[i];
  return false;
}

bool hash_less(const content_hash_t& a, const content_hash_t& b) {
  return std::memcmp(a.bytes, b.bytes, sizeof a.bytes) < 0;
}

// Orders records by source digest against each other and against a digest.
struct source_order_t {
  bool operator()(const file_patch_record_t* a, const file_patch_record_t* b) const {
    return hash_less(a->source, b->source);
  }
  bool operator()(const file_patch_record_t* a, const content_hash_t& b) const { return hash_less(a->source, b); }
  bool operator()(const content_hash_t& a, const file_patch_record_t* b) const { return hash_less(a, b->source); }
};

struct name_order_t {
  bool operator()(const layout_record_t* a, const layout_record_t* b) const {
    return std::strcmp(a->name.c_str(), b->name.c_str()) < 0;
  }
  bool operator()(const layout_record_t* a, const char* b) const { return std::strcmp(a->name.c_str(), b) < 0; }
  bool operator()(const char* a, const layout_record_t* b) const { return std::strcmp(a, b->name.c_str()) < 0; }
};

// The match with the greatest version; the earlier one among equal versions.
const layout_record_t* better_layout(const layout_record_t* best, const layout_record_t& candidate,
                                     const content_hash_t* match_hash) {
  if (match_hash && !(candidate.match_hash == *match_hash)) return best;
  return !best || version_less(best->version, candidate.version) ? &candidate : best;
}

void append_ids(array_t<content_hash_t>& out, const file_patch_record_t& record) {
  for (const content_hash_t& id : record.diff_ids) out.push(id);
}

} // namespace

container_open_result_t container_pool_t::add_container(const void* data, u32 size, progress_callback_t* callback,
                                                        const array_t<const rsa_public_key_t*>* keys) {
  auto_ptr_t<file_t> file(new (std::nothrow) mem_file_t(data, size));
  if (!file) return container_open_result_t::internal_error;
  return add_container(file, callback, keys);
}

container_open_result_t container_pool_t::add_container(auto_ptr_t<file_t>& file, progress_callback_t* callback,
                                                        const array_t<const rsa_public_key_t*>* keys) {
  auto_ptr_t<container_reader_t> reader(new (std::nothrow) container_reader_t);
  if (!reader) return container_open_result_t::internal_error;
  const container_open_result_t result = reader->open(file, callback, keys);
  if (result != container_open_result_t::ok) return result;
  if (!by_source_.reserve_more(reader->file_patches().size()) || !by_name_.reserve_more(reader->layouts().size()) ||
      !readers_.push_move(reader))
    return container_open_result_t::internal_error;
  index_records(*readers_[readers_.size() - 1]);
  return result;
}

// Stable sorts: records of one source or name keep pool and chunk order, which decides between
// routes and between equal versions.
void container_pool_t::index_records(const container_reader_t& reader) {
  for (const file_patch_record_t& record : reader.file_patches()) by_source_.push(&record);
  std::stable_sort(by_source_.begin(), by_source_.end(), source_order_t());
  for (const layout_record_t& record : reader.layouts()) by_name_.push(&record);
  std::stable_sort(by_name_.begin(), by_name_.end(), name_order_t());
}

const layout_record_t* container_pool_t::find_layout(const char* name, const content_hash_t* match_hash) const {
  const layout_record_t* best = nullptr;
  if (!name || !*name) {
    for (const auto_ptr_t<container_reader_t>& reader : readers_)
      for (const layout_record_t& layout : reader->layouts()) best = better_layout(best, layout, match_hash);
    return best;
  }
  const auto named = std::equal_range(by_name_.begin(), by_name_.end(), name, name_order_t());
  for (auto layout = named.first; layout != named.second; ++layout) best = better_layout(best, **layout, match_hash);
  return best;
}

container_pool_t::source_range_t container_pool_t::records_from(const content_hash_t& source) const {
  const auto range = std::equal_range(by_source_.begin(), by_source_.end(), source, source_order_t());
  return {range.first, range.second};
}

const file_patch_record_t* container_pool_t::direct_record(const content_hash_t& from,
                                                           const content_hash_t& to) const {
  const source_range_t range = records_from(from);
  for (auto record = range.begin; record != range.end; ++record)
    if ((*record)->target == to) return *record;
  return nullptr;
}

bool container_pool_t::find_patch_chain(array_t<content_hash_t>& out, const content_hash_t& from,
                                        const content_hash_t& to, content_hash_t* start) const {
  if (start) *start = from;
  if (const file_patch_record_t* direct = direct_record(from, to)) {
    append_ids(out, *direct);
    return true;
  }
  if (search_chain(out, from, to)) return true;
  if (from == empty_content_hash) return false;
  return find_patch_chain(out, empty_content_hash, to, start);
}

// Depth-first over the records, first route found; an explicit stack so that no chain, however
// long, can exhaust the thread's stack. Each digest is entered at most once.
bool container_pool_t::search_chain(array_t<content_hash_t>& out, const content_hash_t& from,
                                    const content_hash_t& to) const {
  struct frame_t {
    source_range_t pending;
    const file_patch_record_t* taken;
  };
  visited_.clear();
  visited_.insert(from, true);
  array_dyn_t<frame_t> stack;
  if (!stack.push(frame_t{records_from(from), nullptr})) return false;
  while (!stack.empty()) {
    frame_t& top = stack[stack.size() - 1];
    if (top.pending.begin == top.pending.end) {
      stack.remove(stack.size() - 1);
      continue;
    }
    const file_patch_record_t* record = *top.pending.begin++;
    top.taken = record;
    if (!visited_.insert(record->target, true)) continue;
    if (const file_patch_record_t* direct = direct_record(record->target, to)) {
      for (const frame_t& frame : stack) append_ids(out, *frame.taken);
      append_ids(out, *direct);
      return true;
    }
    if (!stack.push(frame_t{records_from(record->target), nullptr})) return false;
  }
  return false;
}

bool container_pool_t::has_diff_data(const content_hash_t& diff_id) const {
  for (const auto_ptr_t<container_reader_t>& reader : readers_) {
    const diff_info_t* diff = reader->find_diff(diff_id);
    if (diff && diff->data_offset != diff_offset_none) return true;
  }
  return false;
}

const aes_key_t* container_pool_t::find_key(const content_hash_t& key_id) const {
  for (const auto_ptr_t<container_reader_t>& reader : readers_)
    if (const aes_key_t* key = reader->find_key(key_id)) return key;
  return nullptr;
}

// Asks each reader in turn without a key; a reader that holds the diff but needs its key is
// asked again with the key from whichever reader holds it.
template <typename RESULT, typename OPERATION>
RESULT container_pool_t::dispatch(const content_hash_t& diff_id, RESULT key_missing, OPERATION operation) const {
  for (const auto_ptr_t<container_reader_t>& reader : readers_) {
    const RESULT result = operation(*reader, nullptr);
    if (result == RESULT::not_found) continue;
    if (result != RESULT::no_key) return result;
    const diff_info_t* diff = reader->find_diff(diff_id);
    if (!diff) {
      log_error("[ERR] Key requested and no key id is provided");
      return key_missing;
    }
    const aes_key_t* key = find_key(diff->key_id);
    return key ? operation(*reader, key) : RESULT::no_key;
  }
  return RESULT::not_found;
}

diff_size_result_t container_pool_t::get_diff_output_size(u64& out, const content_hash_t& diff_id) const {
  out = ~u64(0);
  return dispatch(diff_id, diff_size_result_t::key_id_error,
                  [&](const container_reader_t& reader, const aes_key_t* key) {
                    return reader.get_diff_output_size(out, diff_id, key);
                  });
}

extract_diff_result_t container_pool_t::extract_diff(auto_ptr_t<file_t>& output, file_t* source,
                                                     const content_hash_t& diff_id,
                                                     progress_callback_t* callback) const {
  return dispatch(diff_id, extract_diff_result_t::internal_error,
                  [&](const container_reader_t& reader, const aes_key_t* key) {
                    return reader.extract_diff(output, source, diff_id, key, callback);
                  });
}

} // namespace orvo::patch
