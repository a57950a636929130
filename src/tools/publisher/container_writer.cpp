#include "tools/publisher/container_writer.h"

#include "ovcore/messages/messages.h"
#include "tools/publisher/byte_order.h"
#include "tools/publisher/container_format.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/key_id.h"
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

u32 method_tag(block_method_t method) {
  switch (method) {
  case block_method_t::copy: return format::method_copy;
  case block_method_t::lzma: return format::method_lzma;
  case block_method_t::delta: return format::method_delta;
  }
  return 0;
}

bool sign_container(std::fstream& file, u64 size, const CryptoPP::RSA::PrivateKey& key, u8* signature) {
  try {
    CryptoPP::AutoSeededRandomPool rng;
    CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA256>::Signer signer(key);
    if (signer.SignatureLength() != format::signature_size) {
      log_error("[ERR] The signing key makes %u-byte signatures; containers need %u",
                static_cast<u32>(signer.SignatureLength()), format::signature_size);
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
  const std::vector<u8> header(format::header_size, 0);
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

bool container_writer_t::append_chunk(u32 tag, const std::vector<u8>& body) {
  std::vector<u8> chunk;
  chunk.reserve(format::chunk_header_size + body.size());
  append_u64(chunk, format::chunk_header_size + body.size());
  append_u32(chunk, tag);
  append_u32(chunk, format::chunk_version);
  append_bytes(chunk, body.data(), body.size());
  return append(chunk.data(), chunk.size());
}

bool container_writer_t::add_layout(const layout_t& layout) {
  if (!usable()) return false;
  if (layout.name.size() >= format::layout_name_size || layout.name.find('\0') != std::string::npos) {
    log_error("[ERR] Layout name '%s' is longer than %u bytes", layout.name.c_str(), format::layout_name_size - 1);
    return false;
  }
  if (layout.entries.size() > format::max_layout_entries) {
    log_error("[ERR] Layout '%s' has %Iu entries; at most %u fit", layout.name.c_str(), layout.entries.size(),
              format::max_layout_entries);
    return false;
  }
  std::vector<u8> body;
  body.reserve(format::layout_fixed_size + layout.entries.size() * format::layout_path_size);
  append_text_field(body, layout.name, format::layout_name_size);
  append_bytes(body, layout.match_hash.data(), layout.match_hash.size());
  for (u32 part : layout.version) append_u32(body, part);
  for (const layout_entry_t& entry : layout.entries) {
    const char* problem = layout_path_problem(entry.path);
    if (problem) {
      log_error("[ERR] Layout '%s': path '%s' %s", layout.name.c_str(), entry.path.c_str(), problem);
      return false;
    }
    append_u32(body, format::root_application);
    append_text_field(body, entry.path, format::layout_path_field_size);
    append_bytes(body, entry.hash.data(), entry.hash.size());
  }
  return append_chunk(format::tag_layout, body);
}

bool container_writer_t::add_file_patch(const content_hash_t& source, const content_hash_t& target,
                                        const std::vector<content_hash_t>& diff_ids) {
  if (!usable()) return false;
  if (diff_ids.size() > format::max_file_patch_diffs) {
    log_error("[ERR] A file patch lists %Iu diffs; at most %u fit", diff_ids.size(), format::max_file_patch_diffs);
    return false;
  }
  std::vector<u8> body;
  append_bytes(body, source.data(), source.size());
  append_bytes(body, target.data(), target.size());
  for (const content_hash_t& id : diff_ids) append_bytes(body, id.data(), id.size());
  return append_chunk(format::tag_file_patch, body);
}

bool container_writer_t::add_keys(const std::vector<aes_key_t>& keys) {
  if (!usable()) return false;
  if (key_ids_.size() + keys.size() > format::max_keys) {
    log_error("[ERR] More than %u content keys", format::max_keys);
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
  return append_chunk(format::tag_keys, body);
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
  std::vector<u8> head(format::chunk_header_size + format::diff_fixed_size, 0);
  put_u32_le(head.data() + 8, format::tag_diff);
  put_u32_le(head.data() + 12, format::chunk_version);
  head[format::chunk_header_size + format::diff_flags_offset] = record.keyed ? format::diff_flag_keyed : 0;
  if (!append(head.data(), head.size())) return false;

  CryptoPP::SHA256 digest;
  std::vector<u8> prefix;
  if (record.keyed) {
    append_bytes(prefix, record.key_id.data(), record.key_id.size());
    prefix.resize(format::keyed_prefix_size, 0);
  }
  append_u64(prefix, output_size);
  append_u32(prefix, method_tag(input.method));
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
      !write_at(file_, chunk_start + format::chunk_header_size, record.id.data(), record.id.size())) {
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
  const u64 minimum = declared.keyed ? format::keyed_min_data_size : format::block_header_size;
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
  return append_chunk(format::tag_meta, body);
}

bool container_writer_t::finish(const CryptoPP::RSA::PrivateKey* key) {
  if (!usable()) return false;
  u8 header[format::header_size] = {};
  put_u32_le(header + format::magic_offset, format::magic);
  put_u32_le(header + format::version_offset, format::container_version);
  if (key) {
    key_fingerprint_t fingerprint;
    if (!compute_key_fingerprint(*key, fingerprint)) return false;
    std::memcpy(header + format::fingerprint_offset, fingerprint.data(), fingerprint.size());
  }
  failed_ = true;
  if (!write_at(file_, 0, header, sizeof(header)) || !file_.flush()) {
    log_error("[ERR] Error while writing '%s'", path_text(path_).c_str());
    return false;
  }
  if (key) {
    u8 signature[format::signature_size];
    if (!sign_container(file_, end_, *key, signature)) return false;
    if (!write_at(file_, format::signature_offset, signature, sizeof(signature))) {
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
