#pragma once
#include "tools/publisher/progress_meter.h"
#include "tools/publisher/release_plan.h"

#include <cryptopp/rsa.h>

#include <filesystem>
#include <map>

namespace orvo::publisher {

struct release_written_t {
  std::map<content_hash_t, u64> diff_sizes;  // data size of every stored diff, by id
  u64 file_patches = 0;
};

// Writes the planned container to `file` and signs it: the layouts, then for every target content
// its diffs, each the smallest of COPY, LZM2 (both made once per content) and XDLT from the older
// content, then one file patch per older content. Diffs are made on `threads` threads; their
// candidates lie beside `file` while they are made. On failure `file` and every candidate are
// removed.
bool write_release(const release_plan_t& plan, const std::filesystem::path& file, const CryptoPP::RSA::PrivateKey& key,
                   u32 threads, progress_meter_t& progress, release_written_t& out);

} // namespace orvo::publisher
