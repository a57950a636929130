#pragma once
#include "tools/publisher/release_plan.h"
#include "tools/publisher/release_writer.h"

#include <cryptopp/rsa.h>

#include <filesystem>
#include <vector>

namespace orvo::publisher {

// Opens a written release with the updater's own pool, trusting only `key`, and checks what the
// updater will look up: every layout, and unless the plan has layouts only, for every older
// version and target file a patch chain
// whose diffs are present and whose last one yields the target's size. Sets the bytes of the
// diffs each older version's update reads (each diff counted once). Logs what fails.
bool check_release(const std::filesystem::path& container, const CryptoPP::RSA::PublicKey& key,
                   const release_description_t& description, const release_trees_t& trees,
                   const release_plan_t& plan, const release_written_t& written, std::vector<u64>& diff_bytes);

} // namespace orvo::publisher
