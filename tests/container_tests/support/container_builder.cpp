#include "support/container_builder.h"

#include <cryptopp/osrng.h>
#include <cryptopp/pssr.h>
#include <cryptopp/sha.h>

#include <cstring>

namespace orvo::test {

hash_bytes_t hash_of(u8 fill) {
  hash_bytes_t hash;
  hash.fill(fill);
  return hash;
}

content_hash_t as_hash(const hash_bytes_t& bytes) {
  content_hash_t hash;
  std::memcpy(hash.bytes, bytes.data(), 32);
  return hash;
}

void put_u32(bytes_t& out, u32 value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<u8>(value >> (8 * i)));
}

void put_u64(bytes_t& out, u64 value) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<u8>(value >> (8 * i)));
}

void put_bytes(bytes_t& out, const void* data, size_t size) {
  // Byte by byte: GCC 12 warns falsely about the inlined range insert.
  const u8* p = static_cast<const u8*>(data);
  for (size_t i = 0; i < size; ++i) out.push_back(p[i]);
}

void put_zeros(bytes_t& out, size_t count) {
  for (size_t i = 0; i < count; ++i) out.push_back(0);
}

bytes_t chunk(const char* tag, const bytes_t& body, u32 version) {
  bytes_t out;
  put_u64(out, 16 + body.size());
  put_bytes(out, tag, 4);
  put_u32(out, version);
  put_bytes(out, body.data(), body.size());
  return out;
}

bytes_t layout_entry(const std::string& path, u8 hash_fill, const char* root) {
  bytes_t out;
  put_bytes(out, root, 4);
  char field[128] = {};
  std::memcpy(field, path.data(), path.size() < 128 ? path.size() : 128);
  put_bytes(out, field, sizeof field);
  const hash_bytes_t hash = hash_of(hash_fill);
  put_bytes(out, hash.data(), hash.size());
  return out;
}

bytes_t layo_chunk(const std::string& name, const std::vector<bytes_t>& entries, const hash_bytes_t& match,
                   std::array<u32, 4> version) {
  bytes_t body;
  char field[64] = {};
  std::memcpy(field, name.data(), name.size() < 64 ? name.size() : 64);
  put_bytes(body, field, sizeof field);
  put_bytes(body, match.data(), match.size());
  for (u32 v : version) put_u32(body, v);
  for (const bytes_t& entry : entries) put_bytes(body, entry.data(), entry.size());
  return chunk("LAYO", body);
}

bytes_t fpat_chunk(const hash_bytes_t& source, const hash_bytes_t& target, const std::vector<hash_bytes_t>& diff_ids) {
  bytes_t body;
  put_bytes(body, source.data(), 32);
  put_bytes(body, target.data(), 32);
  for (const hash_bytes_t& id : diff_ids) put_bytes(body, id.data(), 32);
  return chunk("FPAT", body);
}

bytes_t keys_chunk(const std::vector<hash_bytes_t>& keys) {
  bytes_t body;
  for (const hash_bytes_t& key : keys) put_bytes(body, key.data(), 32);
  return chunk("KEYS", body);
}

bytes_t diff_chunk(const hash_bytes_t& id, bool keyed, const bytes_t& data) {
  bytes_t body;
  put_bytes(body, id.data(), 32);
  body.push_back(keyed ? 1 : 0);
  put_zeros(body, 7);
  put_bytes(body, data.data(), data.size());
  return chunk("DIFF", body);
}

bytes_t meta_chunk(const hash_bytes_t& id, u64 data_size, const hash_bytes_t* key_id) {
  bytes_t body;
  put_bytes(body, id.data(), 32);
  put_u64(body, data_size);
  if (key_id) put_bytes(body, key_id->data(), 32);
  return chunk("META", body);
}

bytes_t keyed_data(u8 id_fill, size_t size) {
  bytes_t out(size, 0x02);
  for (size_t i = 0; i < 32 && i < size; ++i) out[i] = id_fill;
  return out;
}

bytes_t copy_block(const bytes_t& payload) {
  bytes_t out;
  put_u64(out, payload.size());
  put_bytes(out, "COPY", 4);
  put_u32(out, 0);
  put_bytes(out, payload.data(), payload.size());
  return out;
}

bytes_t container_builder_t::unsigned_bytes() const {
  bytes_t out;
  put_bytes(out, "KTLP", 4);
  put_u32(out, version);
  put_zeros(out, 20);
  put_bytes(out, reserved.data(), reserved.size());
  put_zeros(out, 512);
  put_bytes(out, body.data(), body.size());
  return out;
}

bytes_t container_builder_t::signed_bytes(const test_key_t& key) const {
  bytes_t out = unsigned_bytes();
  sign_container(out, key);
  return out;
}

void sign_container(bytes_t& container, const test_key_t& key) {
  std::memcpy(container.data() + 8, key.fingerprint.data(), 20);
  std::memset(container.data() + 156, 0, 512);
  CryptoPP::AutoSeededRandomPool rng;
  CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA256>::Signer signer(key.private_key);
  signer.SignMessage(rng, container.data(), container.size(), container.data() + 156);
}

} // namespace orvo::test
