#pragma once
#include "common/file_tree.h"
#include "interop_tests/interop_support.h"
#include "patch/container_pool.h"
#include "tools/publisher/container_writer.h"

#include <deque>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace orvo::analysis {

using interop::bytes_t;

// Digests in tests: named by a letter, or the SHA-256 of real content.
content_hash_t digest_named(char name);
content_hash_t digest_of(const std::string& content);
publisher::content_hash_t to_publisher(const content_hash_t& hash);
std::string hex(const content_hash_t& hash);

// What one container holds, written by the publisher's writer.
struct container_spec_t {
  struct layout_t {
    std::string name;
    std::array<u32, 4> version{1, 13, 3, 0};
    std::vector<std::pair<std::string, content_hash_t>> entries;
    std::optional<content_hash_t> match_hash;
  };
  struct patch_t {
    content_hash_t source, target;
    std::vector<content_hash_t> diff_ids;
  };
  struct diff_t {
    content_hash_t id;
    // The size the block header declares.
    u64 output_size = 16;
    // Declared by META only.
    bool meta_only = false;
    const publisher::aes_key_t* key = nullptr;
  };
  // Diffs with real data: the content the diff produces, stored, compressed or as a delta.
  struct content_diff_t {
    content_hash_t id;
    std::string content;
    publisher::block_method_t method;
    std::optional<std::string> source;
  };
  std::vector<layout_t> layouts;
  std::vector<patch_t> patches;
  std::vector<diff_t> diffs;
  std::vector<content_diff_t> content_diffs;
  std::vector<publisher::aes_key_t> keys;
};

inline container_spec_t::content_diff_t content_diff(const content_hash_t& id, const std::string& content,
                                                     publisher::block_method_t method = publisher::block_method_t::copy,
                                                     std::optional<std::string> source = std::nullopt) {
  return {id, content, method, std::move(source)};
}

inline container_spec_t spec_of(std::vector<container_spec_t::layout_t> layouts,
                                std::vector<container_spec_t::patch_t> patches = {}) {
  container_spec_t spec;
  spec.layouts = std::move(layouts);
  spec.patches = std::move(patches);
  return spec;
}

using layout_entries_t = std::vector<std::pair<std::string, content_hash_t>>;
inline container_spec_t::layout_t layout_of(const std::string& name, layout_entries_t entries,
                                            std::array<u32, 4> version = {1, 13, 3, 0}) {
  return {name, version, std::move(entries), std::nullopt};
}

using testing::files_t;
using testing::same_files;
using testing::snapshot;

// A progress callback over any callable taking the record and answering whether to go on.
template <typename F>
callback_fn_t<bool, const task_progress_t&, F> progress_callback(F function) {
  return callback_fn_t<bool, const task_progress_t&, F>(function);
}

// A directory on disk, message capture and a pool filled from containers built on the spot.
class analysis_test_t : public interop::interop_test_t {
protected:
  void SetUp() override;
  // Builds, signs and adds a container; the test fails when the pool refuses it.
  void add_container(const container_spec_t& spec);
  void write_file(const std::string& relative, const std::string& content);
  // An empty pool and an empty installation folder.
  void reset_pool();
  void reset_installation();
  std::string install_dir() const { return file("game").generic_string(); }
  // The captured lines that begin with one of the prefixes, in order.
  std::vector<std::string> lines_starting(std::initializer_list<const char*> prefixes) const;

  patch::container_pool_t pool;

private:
  std::deque<bytes_t> containers_;
  CryptoPP::RSA::PrivateKey private_key_;
  interop::dev_public_key_t public_key_;
};

} // namespace orvo::analysis
