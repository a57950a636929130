#pragma once
#include "ovcore/crypto/rsa_public_key.h"
#include "ovcore/memory/auto_ptr.h"
#include "patch/container_reader.h"
#include "patch/byte_key_map.h"
#include "patch/diff_size_result.h"

namespace orvo::patch {

// The opened containers the updater queries, in the order they were added; a later container
// may supply what an earlier one lacks (the key of a keyed diff). Filled once, then only read.
class container_pool_t {
public:
  // Opens a container over caller memory (not copied; it must outlive the pool) and appends it on
  // success; on any other result the pool is unchanged.
  container_open_result_t add_container(const void* data, u32 size, progress_callback_t* callback,
                                        const array_t<const rsa_public_key_t*>* keys);
  // The same over an open file, which the pool takes (the caller's owner is left empty).
  container_open_result_t add_container(auto_ptr_t<file_t>& file, progress_callback_t* callback,
                                        const array_t<const rsa_public_key_t*>* keys);

  u32 container_count() const { return readers_.size(); }

  // The matching layout with the greatest version, the earliest among equals; an empty name
  // matches every layout, a null match hash every match hash.
  const layout_record_t* find_layout(const char* name, const content_hash_t* match_hash) const;

  // Appends the diff ids that turn from into to, in application order: a direct record, else
  // the first route a depth-first search finds, else the same from the empty content. start, when
  // given, receives the digest the chain found starts from.
  bool find_patch_chain(array_t<content_hash_t>& out, const content_hash_t& from, const content_hash_t& to,
                        content_hash_t* start = nullptr) const;

  bool has_diff_data(const content_hash_t& diff_id) const;
  diff_size_result_t get_diff_output_size(u64& out, const content_hash_t& diff_id) const;
  extract_diff_result_t extract_diff(auto_ptr_t<file_t>& output, file_t* source, const content_hash_t& diff_id,
                                     progress_callback_t* callback) const;

private:
  // Records in source order, then pool and chunk order, for look-ups by source digest.
  struct source_range_t {
    const file_patch_record_t* const* begin;
    const file_patch_record_t* const* end;
  };
  source_range_t records_from(const content_hash_t& source) const;
  const file_patch_record_t* direct_record(const content_hash_t& from, const content_hash_t& to) const;
  bool search_chain(array_t<content_hash_t>& out, const content_hash_t& from, const content_hash_t& to) const;
  void index_records(const container_reader_t& reader);
  const aes_key_t* find_key(const content_hash_t& key_id) const;
  template <typename RESULT, typename OPERATION>
  RESULT dispatch(const content_hash_t& diff_id, RESULT key_missing, OPERATION operation) const;

  array_dyn_t<auto_ptr_t<container_reader_t>> readers_;
  array_dyn_t<const file_patch_record_t*> by_source_;
  // Layout records by name, then pool and chunk order.
  array_dyn_t<const layout_record_t*> by_name_;
  // Scratch of the chain search; the pool is queried by one thread at a time.
  mutable content_hash_map_t<bool> visited_;
};

} // namespace orvo::patch
