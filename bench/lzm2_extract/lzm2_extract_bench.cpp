// LZM2 extraction of a large file from a signed container, for comparison with xz -dc of the same
// .xz stream (bench/run_lzm2_extract.sh runs both).
//
// usage: lzm2_extract_bench generate <data file> <size in MiB>
//        lzm2_extract_bench pack <.xz file> <data size> <container> <private key> <public key>
//        lzm2_extract_bench extract <container> <public key> <output file>
#include "bench_runtime.h"
#include "ovcore/crypto/rsa_public_key.h"
#include "ovcore/ufs/file_system.h"
#include "patch/container_reader.h"
#include "process_usage.h"
#include "public_key_file.h"
#include "whole_file.h"
#include "xorshift_random.h"

#include <cryptopp/files.h>
#include <cryptopp/osrng.h>
#include <cryptopp/pssr.h>
#include <cryptopp/rsa.h>
#include <cryptopp/sha.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace orvo;

namespace {

using bytes_t = std::vector<u8>;

constexpr u32 diff_id_fill = 0xD1;

using random_t = bench::xorshift_random_t;

// Block-compressed texture: per 8-byte block two nearby 16-bit colours and 2-bit indices that
// follow a gradient with some noise.
void texture(bytes_t& out, random_t& random, u32 size) {
  u32 colour = random.below(65536);
  for (u32 i = 0; i + 8 <= size; i += 8) {
    colour = (colour + random.below(64)) & 0xFFFF;
    const u32 second = (colour + 0x0841) & 0xFFFF;
    const u32 noise = random.below(4) == 0 ? static_cast<u32>(random.next()) : 0;
    const u32 indices = 0x55AAFF00u ^ noise;
    const u8 block[8] = {u8(colour), u8(colour >> 8), u8(second), u8(second >> 8),
                         u8(indices), u8(indices >> 8), u8(indices >> 16), u8(indices >> 24)};
    out.insert(out.end(), block, block + 8);
  }
}

// Mesh: vertices of three floats with normals, positions drifting smoothly.
void mesh(bytes_t& out, random_t& random, u32 size) {
  float position[3] = {0, 0, 0};
  for (u32 i = 0; i + 24 <= size; i += 24) {
    float vertex[6];
    for (int axis = 0; axis < 3; ++axis) {
      position[axis] += static_cast<float>(random.below(2001)) / 1000.0f - 1.0f;
      vertex[axis] = position[axis];
      vertex[3 + axis] = static_cast<float>(random.below(3)) - 1.0f;
    }
    const u8* bytes = reinterpret_cast<const u8*>(vertex);
    out.insert(out.end(), bytes, bytes + sizeof vertex);
  }
}

// Scripts and configuration text from a small vocabulary.
void text(bytes_t& out, random_t& random, u32 size) {
  static const char* const words[] = {"local ", "function ", "end\n", "if ", "then ", "return ", "player", ".health",
                                      " = ", "self:", "spawn(", "\"velmora_", "npc_", "quest", "_item", "0.25",
                                      ")\n", "  ", "for i = 1, ", "do\n", "-- ", "damage", "armor", "level"};
  const u32 start = static_cast<u32>(out.size());
  while (out.size() - start < size) {
    const char* word = words[random.below(sizeof words / sizeof words[0])];
    out.insert(out.end(), word, word + std::strlen(word));
  }
  out.resize(start + size);
}

// Compressed audio: no redundancy left.
void audio(bytes_t& out, random_t& random, u32 size) {
  for (u32 i = 0; i < size; i += 8) {
    const u64 value = random.next();
    const u8* bytes = reinterpret_cast<const u8*>(&value);
    out.insert(out.end(), bytes, bytes + (size - i < 8 ? size - i : 8));
  }
}

// An archive of assets of mixed kinds, each padded with zeros to 4 KiB.
bool generate(const char* path, u64 size) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  random_t random{0x9E3779B97F4A7C15ull};
  bytes_t asset;
  bool ok = true;
  for (u64 written = 0; written < size && ok;) {
    asset.clear();
    const u32 kind = random.below(10);
    const u32 asset_size = 4096 + random.below(kind < 4 ? 2 << 20 : 256 << 10);
    if (kind < 4)
      texture(asset, random, asset_size);
    else if (kind < 6)
      mesh(asset, random, asset_size);
    else if (kind < 8)
      text(asset, random, asset_size);
    else
      audio(asset, random, asset_size);
    asset.resize((asset.size() + 4095) & ~size_t{4095}, 0);
    const u64 count = size - written < asset.size() ? size - written : asset.size();
    ok = std::fwrite(asset.data(), 1, count, file) == count;
    written += count;
  }
  return (std::fclose(file) == 0) && ok;
}

void put_u64(u8* out, u64 value) {
  for (int i = 0; i < 8; ++i) out[i] = static_cast<u8>(value >> (8 * i));
}

// Header, then one DIFF chunk whose data is an LZM2 block header and the .xz stream; signed with
// the private key over the header (zero signature field) and everything after it.
bool pack(const char* xz_path, u64 data_size, const char* container_path, const char* private_key_path,
          const char* public_key_path) {
  FILE* xz = std::fopen(xz_path, "rb");
  FILE* out = std::fopen(container_path, "w+b");
  if (!xz || !out) return false;
  std::fseek(xz, 0, SEEK_END);
  const u64 xz_size = static_cast<u64>(std::ftell(xz));
  std::fseek(xz, 0, SEEK_SET);

  const bytes_t public_key = bench::read_whole_file(public_key_path);
  const rsa_public_key_t record = {"", false, public_key.data(), static_cast<u32>(public_key.size())};
  u8 header[668] = {'K', 'T', 'L', 'P', 2};
  if (!compute_key_fingerprint(record, header + 8)) return false;
  u8 chunk[16 + 40 + 16] = {};
  put_u64(chunk, sizeof chunk + xz_size);
  std::memcpy(chunk + 8, "DIFF", 4);
  chunk[12] = 2;
  std::memset(chunk + 16, diff_id_fill, 32);
  put_u64(chunk + 56, data_size);
  std::memcpy(chunk + 64, "LZM2", 4);

  CryptoPP::AutoSeededRandomPool rng;
  CryptoPP::RSA::PrivateKey private_key;
  CryptoPP::FileSource key_source(private_key_path, true);
  private_key.Load(key_source);
  CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA256>::Signer signer(private_key);
  CryptoPP::PK_MessageAccumulator* accumulator = signer.NewSignatureAccumulator(rng);
  accumulator->Update(header, sizeof header);
  accumulator->Update(chunk, sizeof chunk);
  bool ok = std::fwrite(header, 1, sizeof header, out) == sizeof header &&
            std::fwrite(chunk, 1, sizeof chunk, out) == sizeof chunk;
  static u8 buffer[1 << 20];
  for (size_t n; ok && (n = std::fread(buffer, 1, sizeof buffer, xz)) > 0;) {
    accumulator->Update(buffer, n);
    ok = std::fwrite(buffer, 1, n, out) == n;
  }
  signer.Sign(rng, accumulator, header + 156);
  ok = ok && std::fseek(out, 0, SEEK_SET) == 0 && std::fwrite(header, 1, sizeof header, out) == sizeof header;
  return (std::fclose(xz) == 0) & (std::fclose(out) == 0) && ok;
}

// Opens the container (not timed) and prints the seconds, wall clock and processor, that
// extracting the diff takes.
int extract(const char* container_path, const char* public_key_path, const char* output_path) {
  bench::public_key_file_t key;
  if (!key.load(public_key_path)) return 1;
  patch::container_reader_t reader;
  auto_ptr_t<file_t> file = open_file_read(container_path);
  if (!file || reader.open(file, nullptr, key.keys()) != patch::container_open_result_t::ok) return 1;
  auto_ptr_t<file_t> output = open_file_create(output_path);
  if (!output) return 1;
  content_hash_t id;
  std::memset(id.bytes, diff_id_fill, sizeof id.bytes);

  const double cpu_start = bench::process_cpu_seconds();
  const auto start = std::chrono::steady_clock::now();
  const patch::extract_diff_result_t result = reader.extract_diff(output, nullptr, id, nullptr, nullptr);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("extract_diff %s %.3f s %.3f cpu\n", patch::extract_diff_result_name(static_cast<u32>(result)), seconds,
              bench::process_cpu_seconds() - cpu_start);
  return result == patch::extract_diff_result_t::ok ? 0 : 1;
}

int run(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "generate" && argc == 4) return generate(argv[2], std::strtoull(argv[3], nullptr, 10) << 20) ? 0 : 1;
  if (mode == "pack" && argc == 7) {
    try {
      return pack(argv[2], std::strtoull(argv[3], nullptr, 10), argv[4], argv[5], argv[6]) ? 0 : 1;
    } catch (const CryptoPP::Exception& error) {
      std::fprintf(stderr, "signing failed: %s\n", error.what());
      return 1;
    }
  }
  if (mode == "extract" && argc == 5) return extract(argv[2], argv[3], argv[4]);
  std::fprintf(stderr, "usage: see the top of lzm2_extract_bench.cpp\n");
  return 2;
}

} // namespace

int main(int argc, char** argv) { return bench::run_with_runtime(argc, argv, run); }
