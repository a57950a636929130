// Decodes a delta that rebuilds a large file mostly from its previous version, the way patching
// decodes an XDLT block; bench/delta_decode/run_delta_decode.sh compares the time with cp of
// the result and the peak memory with the budget.
//
// usage: delta_decode_bench generate <folder> <size in MiB>   source.bin, target.bin, container.bin
//        delta_decode_bench decode <folder>                   output.bin from them
#include "bench_runtime.h"
#include "ovcore/ufs/file_system.h"
#include "patch/adler32.h"
#include "patch/decode_delta.h"
#include "process_usage.h"
#include "xorshift_random.h"

#include <lzma.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace orvo;

namespace {

constexpr u64 window_size = 0x800000;
// One edit of edit_size bytes in every edit_spacing bytes: about 1% of the file changes.
constexpr u32 edit_spacing = 4096;
constexpr u32 edit_size = 41;
constexpr u32 block_header_size = 16;

using random_t = bench::xorshift_random_t;

using bytes_t = std::vector<u8>;

void put_integer(bytes_t& out, u64 value) {
  u8 digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<u8>(value & 0x7F);
    value >>= 7;
  } while (value);
  while (count-- > 0) out.push_back(static_cast<u8>(digits[count] | (count ? 0x80 : 0)));
}

// The section as the lzma secondary compressor stores it, or nothing when that is not smaller.
bool compress_section(const bytes_t& plain, bytes_t& out) {
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_easy_encoder(&stream, 1, LZMA_CHECK_NONE) != LZMA_OK) return false;
  bytes_t compressed(plain.size() + 4096);
  stream.next_in = plain.data();
  stream.avail_in = plain.size();
  stream.next_out = compressed.data();
  stream.avail_out = compressed.size();
  lzma_ret result = lzma_code(&stream, LZMA_RUN);
  while (result == LZMA_OK) result = lzma_code(&stream, LZMA_SYNC_FLUSH);
  compressed.resize(compressed.size() - stream.avail_out);
  lzma_end(&stream);
  out.clear();
  put_integer(out, plain.size());
  out.insert(out.end(), compressed.begin(), compressed.end());
  return result == LZMA_STREAM_END && out.size() < plain.size();
}

// One window: source segment = the same range of the source, COPY of the unchanged stretches
// and ADD of each edit, sections compressed where that makes them smaller, checksum present.
void encode_window(bytes_t& delta, u64 position, const u8* target, u32 length, const std::vector<u32>& edits) {
  bytes_t sections[3];  // data, instructions, addresses
  u32 at = 0;
  for (u32 edit : edits) {
    sections[1].push_back(19);  // COPY, size follows, address by itself
    put_integer(sections[1], edit - at);
    put_integer(sections[2], at);
    sections[1].push_back(1);  // ADD, size follows
    put_integer(sections[1], edit_size);
    sections[0].insert(sections[0].end(), target + edit, target + edit + edit_size);
    at = edit + edit_size;
  }
  if (at < length) {
    sections[1].push_back(19);
    put_integer(sections[1], length - at);
    put_integer(sections[2], at);
  }
  u8 indicator = 0;
  for (u32 i = 0; i < 3; ++i) {
    bytes_t compressed;
    if (compress_section(sections[i], compressed)) {
      sections[i].swap(compressed);
      indicator |= static_cast<u8>(1u << i);
    }
  }
  bytes_t body;
  put_integer(body, length);
  body.push_back(indicator);
  for (const bytes_t& section : sections) put_integer(body, section.size());
  const u32 checksum = patch::adler32_update(patch::adler32_initial, target, length);
  for (int shift = 24; shift >= 0; shift -= 8) body.push_back(static_cast<u8>(checksum >> shift));
  for (const bytes_t& section : sections) body.insert(body.end(), section.begin(), section.end());

  delta.push_back(0x01 | 0x04);
  put_integer(delta, length);
  put_integer(delta, position);
  put_integer(delta, body.size());
  delta.insert(delta.end(), body.begin(), body.end());
}

bool write_all(FILE* file, const void* data, size_t size) { return std::fwrite(data, 1, size, file) == size; }

// Writes the source and target files and the container holding the delta after a block header.
bool generate(const std::string& folder, u64 size, u64& delta_length) {
  FILE* source = std::fopen((folder + "/source.bin").c_str(), "wb");
  FILE* target = std::fopen((folder + "/target.bin").c_str(), "wb");
  FILE* container = std::fopen((folder + "/container.bin").c_str(), "wb");
  if (!source || !target || !container) return false;
  random_t content{0x9E3779B97F4A7C15ull}, edits{0xD1B54A32D192ED03ull};
  bytes_t window(window_size);
  bytes_t delta = {0xD6, 0xC3, 0xC4, 0x00, 0x01, 0x02};
  bool ok = true;
  for (u64 position = 0; position < size && ok; position += window_size) {
    const u32 length = static_cast<u32>(size - position < window_size ? size - position : window_size);
    content.fill(window.data(), length);
    ok = write_all(source, window.data(), length);
    std::vector<u32> changed;
    for (u32 region = 0; region + edit_spacing <= length; region += edit_spacing) {
      const u32 edit = region + static_cast<u32>(edits.next() % (edit_spacing - edit_size));
      edits.fill(window.data() + edit, edit_size);
      changed.push_back(edit);
    }
    ok = ok && write_all(target, window.data(), length);
    encode_window(delta, position, window.data(), length, changed);
  }
  const u8 block_header[block_header_size] = {'X', 'D', 'L', 'T'};
  ok = ok && write_all(container, block_header, sizeof(block_header)) && write_all(container, delta.data(), delta.size());
  delta_length = delta.size();
  return (std::fclose(source) == 0) & (std::fclose(target) == 0) & (std::fclose(container) == 0) && ok;
}

// Decodes the delta of the container into output.bin and prints the result, the seconds (wall
// clock and processor) and the peak resident memory.
int decode(const std::string& folder) {
  auto_ptr_t<file_t> container = open_file_read((folder + "/container.bin").c_str());
  auto_ptr_t<file_t> source = open_file_read((folder + "/source.bin").c_str());
  auto_ptr_t<file_t> target = open_file_read((folder + "/target.bin").c_str());
  auto_ptr_t<file_t> output = open_file_create((folder + "/output.bin").c_str());
  if (!container || !source || !target || !output) return 1;
  const u64 delta_length = container->get_size() - block_header_size;
  const double cpu_start = bench::process_cpu_seconds();
  const auto start = std::chrono::steady_clock::now();
  const patch::decode_delta_result_t result = patch::decode_delta(
      *container, block_header_size, delta_length, source.get(), *output, nullptr, nullptr, target->get_size());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("decode_delta result %u seconds %.3f cpu %.3f peak_mib %llu\n", result, seconds,
              bench::process_cpu_seconds() - cpu_start,
              static_cast<unsigned long long>(bench::peak_resident_bytes() >> 20));
  return result == patch::decode_delta_ok ? 0 : 1;
}

int run(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "generate" && argc == 4) {
    u64 delta_length = 0;
    if (!create_directories(argv[2]) || !generate(argv[2], std::strtoull(argv[3], nullptr, 10) << 20, delta_length)) {
      std::fprintf(stderr, "cannot write the files in %s\n", argv[2]);
      return 1;
    }
    std::printf("delta %llu bytes\n", static_cast<unsigned long long>(delta_length));
    return 0;
  }
  if (mode == "decode" && argc == 3) return decode(argv[2]);
  std::fprintf(stderr, "usage: see the top of delta_decode_bench.cpp\n");
  return 2;
}

} // namespace

int main(int argc, char** argv) { return bench::run_with_runtime(argc, argv, run); }
