#pragma once
#include "tools/publisher/content_hash.h"

#include <cryptopp/rsa.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace orvo::publisher {

struct layout_entry_t {
  std::string path;  // relative, '/' separators, below the application directory
  content_hash_t hash{};
};

struct layout_t {
  std::string name;
  content_hash_t match_hash{};
  std::array<u32, 4> version{};  // most significant first
  std::vector<layout_entry_t> entries;
};

enum class block_method_t { copy, lzma, delta };

struct diff_input_t {
  block_method_t method = block_method_t::copy;
  std::filesystem::path data;  // the content (copy, lzma) or a finished payload (see `encoded`)
  bool encoded = false;        // data is the block payload already (always so for a delta)
  u64 encoded_output_size = 0; // size of the content an encoded payload produces
  u32 lzma_preset = 6;
  const aes_key_t* key = nullptr;
  const content_hash_t* id = nullptr;  // null: the SHA-256 of the diff data
};

struct diff_record_t {
  content_hash_t id{};
  bool keyed = false;
  content_hash_t key_id{};
  u64 data_size = 0;
  bool has_data = false;
};

// Writes one container file: chunks are appended in call order, then finish() fills in the
// header and signs. Refuses anything the container's reader would reject.
class container_writer_t {
public:
  bool create(const std::filesystem::path& path);
  bool add_layout(const layout_t& layout);
  bool add_file_patch(const content_hash_t& source, const content_hash_t& target,
                      const std::vector<content_hash_t>& diff_ids);
  bool add_keys(const std::vector<aes_key_t>& keys);
  bool add_diff(const diff_input_t& input, diff_record_t* record = nullptr);
  bool add_meta(const content_hash_t& id, u64 data_size, const aes_key_t* key);
  // Signs with the key; a null key leaves the container unsigned.
  bool finish(const CryptoPP::RSA::PrivateKey* key);

  const std::map<content_hash_t, diff_record_t>& diffs() const { return diffs_; }

private:
  bool usable() const;
  bool append(const void* data, size_t size);
  bool append_chunk(const char (&tag)[4], const std::vector<u8>& body);
  bool write_diff_body(const diff_input_t& input, u64 input_size, u64 output_size, diff_record_t& record);

  std::fstream file_;
  std::filesystem::path path_;
  u64 end_ = 0;
  bool failed_ = true;
  std::vector<content_hash_t> key_ids_;
  std::map<content_hash_t, diff_record_t> diffs_;
};

} // namespace orvo::publisher
