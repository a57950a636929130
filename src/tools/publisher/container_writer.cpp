#include "tools/publisher/container_writer.h"

#include "ovcore/messages/messages.h"
#include "tools/publisher/byte_order.h"
#include "ovcore/crypto/key_id.h"
#include "patch/container_format.h"
#include "patch/layout_path.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/layout_path_rules.h"
#include "tools/publisher/payload_writer.h"
#include "tools/publisher/rsa_keys.h"
#include "tools/publisher/signed_message.h"

#include <cryptopp/osrng.h>
#include <cryptopp/sha.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace orvo::publisher {

namespace {

void append_bytes(std::vector<u8>& out, const void* data, size_t size) {
  const u8* bytes = static_cast<const u8*>(data);
  out.insert(out.end(), bytes, bytes + size);
}

void append_u32(std::vector<u8>& out, u32 value) {
  u8 bytes[4];
  put_u32_le(bytes, value);
  append_bytes(out, bytes, 4);
}

void append_u64(std::vector<u8>& out, u64 value) {
  u8 bytes[8];
  put_u64_le(bytes, value);
  append_bytes(out, bytes, 8);
}

// A NUL-terminated string inside a fixed field, padded with zero bytes.
void append_text_field(std::vector<u8>& out, const std::string& text, size_t field_size) {
  append_bytes(out, text.data(), text.size());
  out.insert(out.end(), field_size - text.size(), 0);
}

const char* method_tag(block_method_t method) {
  switch (method) {
  case block_method_t::copy: return patch::method_copy;
  case block_method_t::lzma: return patch::method_lzma;
  case block_method_t::delta: break;
  }
  return patch::method_delta;
}

bool derive_key_id(content_hash_t& out, const aes_key_t& key) {
  orvo::aes_key_t content_key;
  std::memcpy(content_key.bytes, key.data(), key.size());
  return orvo::derive_key_id(out.data(), content_key, key_id_label);
}

bool sign_container(std::fstream& file, u64 size, const CryptoPP::RSA::PrivateKey& key, u8* signature) {
  try {
    CryptoPP::AutoSeededRandomPool rng;
    CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA256>::Signer signer(key);
    if (signer.SignatureLength() != patch::header_signature_size) {
      log_error("[ERR] The signing key makes %u-byte signatures; containers need %u",
                static_cast<u32>(signer.SignatureLength()), patch::header_signature_size);
      return false;
    }
    std::unique_ptr<CryptoPP::PK_MessageAccumulator> accumulator(signer.NewSignatureAccumulator(rng));
    if (!feed_signed_message(file, size, *accumulator)) return false;
    signer.Sign(rng, accumulator.release(), signature);
    return true;
  } catch (const CryptoPP::Exception& error) {
    log_error("[ERR] Signing failed: %s", error.what());
    return false;
  }
}

} // namespace

bool container_writer_t::create(const std::filesystem::path& path) {
  path_ = path;
  file_.open(path, std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc);
  if (!file_) {
    log_error("[ERR] Unable to create '%s'", path_text(path).c_str());
    return false;
  }
  failed_ = false;
  end_ = 0;
  const std::vector<u8> header(patch::container_header_size, 0);
  return append(header.data(), header.size());
}

bool container_writer_t::usable() const {
  if (failed_) log_error("[ERR] The container '%s' is not open for writing", path_text(path_).c_str());
  return !failed_;
}

bool container_writer_t::append(const void* data, size_t size) {
  if (!write_at(file_, end_, data, size)) {
    failed_ = true;
    log_error("[ERR] Error while writing '%s'", path_text(path_).c_str());
    return false;
  }
  end_ += size;
  return true;
}

bool container_writer_t::append_chunk(const char (&tag)[4], const std::vector<u8>& body) {
  std::vector<u8> chunk;
  chunk.reserve(patch::chunk_header_size + body.size());
  append_u64(chunk, patch::chunk_header_size + body.size());
  append_bytes(chunk, tag, sizeof tag);
  append_u32(chunk, patch::chunk_version);
  append_bytes(chunk, body.data(), body.size());
  return append(chunk.data(), chunk.size());
}

bool container_writer_t::add_layout(const layout_t& layout) {
  if (!usable()) return false;
  if (layout.name.size() >= patch::layo_name_size || layout.name.find('\0') != std::string::npos) {
    log_error("[ERR] Layout name '%s' is longer than %u bytes", layout.name.c_str(), patch::layo_name_size - 1);
    return false;
  }
  if (layout.entries.size() > patch::layo_entry_limit) {
    log_error("[ERR] Layout '%s' has %Iu entries; at most %u fit", layout.name.c_str(), layout.entries.size(),
              patch::layo_entry_limit);
    return false;
  }
  std::vector<u8> body;
  body.reserve(patch::layo_fixed_size + layout.entries.size() * sizeof(patch::layout_path_t));
  append_text_field(body, layout.name, patch::layo_name_size);
  append_bytes(body, layout.match_hash.data(), layout.match_hash.size());
  for (u32 part : layout.version) append_u32(body, part);
  for (const layout_entry_t& entry : layout.entries) {
    const char* problem = layout_path_problem(entry.path);
    if (problem) {
      log_error("[ERR] Layout '%s': path '%s' %s", layout.name.c_str(), entry.path.c_str(), problem);
      return false;
    }
    patch::layout_path_t record = {};
    std::memcpy(record.root, patch::layout_root_application, sizeof record.root);
    std::memcpy(record.path, entry.path.data(), entry.path.size());
    std::memcpy(record.hash.bytes, entry.hash.data(), entry.hash.size());
    append_bytes(body, &record, sizeof record);
  }
  return append_chunk(patch::tag_layo, body);
}

bool container_writer_t::add_file_patch(const content_hash_t& source, const content_hash_t& target,
                                        const std::vector<content_hash_t>& diff_ids) {
  if (!usable()) return false;
  if (diff_ids.size() > patch::fpat_diff_id_limit) {
    log_error("[ERR] A file patch lists %Iu diffs; at most %u fit", diff_ids.size(), patch::fpat_diff_id_limit);
    return false;
  }
  std::vector<u8> body;
  append_bytes(body, source.data(), source.size());
  append_bytes(body, target.data(), target.size());
  for (const content_hash_t& id : diff_ids) append_bytes(body, id.data(), id.size());
  return append_chunk(patch::tag_fpat, body);
}

bool container_writer_t::add_keys(const std::vector<aes_key_t>& keys) {
  if (!usable()) return false;
  if (key_ids_.size() + keys.size() > patch::keys_key_limit) {
    log_error("[ERR] More than %u content keys", patch::keys_key_limit);
    return false;
  }
  std::vector<u8> body;
  for (const aes_key_t& key : keys) {
    content_hash_t key_id;
    if (!derive_key_id(key_id, key)) return false;
    if (std::find(key_ids_.begin(), key_ids_.end(), key_id) != key_ids_.end()) {
      log_error("[ERR] Content key with id %s is stored twice", to_hex(key_id).c_str());
      return false;
    }
    key_ids_.push_back(key_id);
    append_bytes(body, key.data(), key.size());
  }
  return append_chunk(patch::tag_keys, body);
}

bool container_writer_t::add_diff(const diff_input_t& input, diff_record_t* record) {
  if (!usable()) return false;
  if (input.id && diffs_.count(*input.id) && diffs_.at(*input.id).has_data) {
    log_error("[ERR] Diff %s is stored twice", to_hex(*input.id).c_str());
    return false;
  }
  u64 input_size = 0;
  if (!get_file_size(input.data, input_size)) return false;
  const bool encoded = input.encoded || input.method == block_method_t::delta;
  const u64 output_size = encoded ? input.encoded_output_size : input_size;
  diff_record_t written;
  written.keyed = input.key != nullptr;
  if (input.key && !derive_key_id(written.key_id, *input.key)) return false;
  if (!write_diff_body(input, input_size, output_size, written)) return false;
  const auto found = diffs_.find(written.id);
  if (found != diffs_.end()) {
    const diff_record_t& declared = found->second;
    if (declared.has_data) {
      log_error("[ERR] Diff %s is stored twice", to_hex(written.id).c_str());
      return false;
    }
    if (declared.keyed != written.keyed || declared.data_size != written.data_size ||
        declared.key_id != written.key_id) {
      log_error("[ERR] Diff %s disagrees with its earlier declaration", to_hex(written.id).c_str());
      return false;
    }
  }
  diffs_[written.id] = written;
  if (record) *record = written;
  return true;
}

bool container_writer_t::write_diff_body(const diff_input_t& input, u64 input_size, u64 output_size,
                                         diff_record_t& record) {
  const u64 chunk_start = end_;
  std::vector<u8> head(patch::chunk_header_size + patch::diff_fixed_size, 0);
  std::memcpy(head.data() + patch::chunk_tag_offset, patch::tag_diff, sizeof patch::tag_diff);
  put_u32_le(head.data() + patch::chunk_version_offset, patch::chunk_version);
  head[patch::chunk_header_size + patch::diff_flags_offset] = record.keyed ? static_cast<u8>(patch::diff_flag_keyed) : 0;
  if (!append(head.data(), head.size())) return false;

  CryptoPP::SHA256 digest;
  std::vector<u8> prefix;
  if (record.keyed) {
    append_bytes(prefix, record.key_id.data(), record.key_id.size());
    prefix.resize(patch::keyed_diff_prefix_size, 0);
  }
  append_u64(prefix, output_size);
  append_bytes(prefix, method_tag(input.method), sizeof patch::method_copy);
  append_u32(prefix, 0);
  if (!append(prefix.data(), prefix.size())) return false;
  digest.Update(prefix.data(), prefix.size());

  u64 payload_size = 0;
  file_.seekp(static_cast<std::streamoff>(end_));
  const bool stored = input.method == block_method_t::lzma && !input.encoded
                          ? write_xz_payload(file_, input.data, input_size, input.lzma_preset, digest, payload_size)
                          : write_stored_payload(file_, input.data, input_size, digest, payload_size);
  if (!stored) {
    failed_ = true;
    return false;
  }
  end_ += payload_size;
  record.has_data = true;
  record.data_size = end_ - chunk_start - head.size();
  if (input.id) record.id = *input.id;
  else digest.Final(record.id.data());

  u8 size_field[8];
  put_u64_le(size_field, end_ - chunk_start);
  if (!write_at(file_, chunk_start, size_field, sizeof(size_field)) ||
      !write_at(file_, chunk_start + patch::chunk_header_size, record.id.data(), record.id.size())) {
    failed_ = true;
    log_error("[ERR] Error while writing '%s'", path_text(path_).c_str());
    return false;
  }
  return true;
}

bool container_writer_t::add_meta(const content_hash_t& id, u64 data_size, const aes_key_t* key) {
  if (!usable()) return false;
  diff_record_t declared;
  declared.id = id;
  declared.data_size = data_size;
  declared.keyed = key != nullptr;
  if (key && !derive_key_id(declared.key_id, *key)) return false;
  const u64 minimum = declared.keyed ? patch::keyed_diff_min_size : patch::block_header_size;
  if (data_size < minimum) {
    log_error("[ERR] Diff %s: %I64u bytes of data cannot hold a block", to_hex(id).c_str(), data_size);
    return false;
  }
  const auto found = diffs_.find(id);
  if (found != diffs_.end()) {
    const diff_record_t& known = found->second;
    if (known.keyed != declared.keyed || known.data_size != declared.data_size || known.key_id != declared.key_id) {
      log_error("[ERR] Diff %s is declared differently before", to_hex(id).c_str());
      return false;
    }
  } else {
    diffs_[id] = declared;
  }
  std::vector<u8> body;
  append_bytes(body, id.data(), id.size());
  append_u64(body, data_size);
  if (declared.keyed) append_bytes(body, declared.key_id.data(), declared.key_id.size());
  return append_chunk(patch::tag_meta, body);
}

bool container_writer_t::finish(const CryptoPP::RSA::PrivateKey* key) {
  if (!usable()) return false;
  u8 header[patch::container_header_size] = {};
  std::memcpy(header + patch::header_magic_offset, patch::container_magic, sizeof patch::container_magic);
  put_u32_le(header + patch::header_version_offset, patch::container_version);
  if (key) {
    key_fingerprint_t fingerprint;
    if (!compute_key_fingerprint(*key, fingerprint)) return false;
    std::memcpy(header + patch::header_fingerprint_offset, fingerprint.data(), fingerprint.size());
  }
  failed_ = true;
  if (!write_at(file_, 0, header, sizeof(header)) || !file_.flush()) {
    log_error("[ERR] Error while writing '%s'", path_text(path_).c_str());
    return false;
  }
  if (key) {
    u8 signature[patch::header_signature_size];
    if (!sign_container(file_, end_, *key, signature)) return false;
    if (!write_at(file_, patch::header_signature_offset, signature, sizeof(signature))) {
      log_error("[ERR] Error while writing '%s'", path_text(path_).c_str());
      return false;
    }
  }
  file_.close();
  if (!file_) {
    log_error("[ERR] Error while writing '%s'", path_text(path_).c_str());
    return false;
  }
  return true;
}

} // namespace orvo::publisher
