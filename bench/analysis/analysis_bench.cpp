// Patch analysis of an installation where every file needs a patch: analyze_installation hashes
// each installed file and finds its chain in the container. bench/analysis/run_analysis.sh
// compares the time with openssl dgst -sha256 over the same files.
//
// usage: analysis_bench generate FOLDER PRIVATE-KEY
//          writes FOLDER/installation (500 files, 2 GiB), FOLDER/container.ktlp signed with the
//          key and FOLDER/files.txt (each file's SHA-256 and path, in layout order)
//        analysis_bench analyze FOLDER PUBLIC-KEY.der
//          analyses FOLDER/installation with the container in memory, the key the only key;
//          prints the result, the seconds (wall clock and processor) and the peak resident memory
#include "bench_runtime.h"
#include "digest_list.h"
#include "installation_analysis.h"
#include "patch/installation_layout.h"
#include "random_file.h"
#include "tools/publisher/container_writer.h"
#include "tools/publisher/rsa_keys.h"

#include <cryptopp/sha.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace orvo;

namespace {

using digest_t = publisher::content_hash_t;
using random_t = bench::xorshift_random_t;

constexpr u32 file_count = 500;
constexpr u32 files_per_folder = 50;
constexpr u64 installation_size = u64{2} << 30;
constexpr u64 smallest_file_size = 4 << 10;
// File sizes grow with the fourth power of their rank: many small files, a few of about 20 MiB.
constexpr u32 size_curve_power = 4;
constexpr u64 diff_payload_size = 4 << 10;

std::string installation_folder(const std::string& folder) { return folder + "/installation"; }
std::string container_path(const std::string& folder) { return folder + "/container.ktlp"; }

std::string relative_path(u32 index) {
  char path[64];
  std::snprintf(path, sizeof path, "data/group_%02u/asset_%03u.pak", index / files_per_folder, index);
  return path;
}

// Sizes summing to installation_size, shuffled so that large and small files alternate.
std::vector<u64> file_sizes(random_t& random) {
  std::vector<double> weights(file_count);
  double weight_sum = 0;
  for (u32 i = 0; i < file_count; ++i) {
    double weight = 1;
    for (u32 k = 0; k < size_curve_power; ++k) weight *= i;
    weights[i] = weight;
    weight_sum += weight;
  }
  const u64 spare = installation_size - file_count * smallest_file_size;
  std::vector<u64> sizes(file_count);
  u64 total = 0;
  for (u32 i = 0; i < file_count; ++i) {
    sizes[i] = smallest_file_size + static_cast<u64>(spare * (weights[i] / weight_sum));
    total += sizes[i];
  }
  sizes.back() += installation_size - total;  // what rounding left over
  for (u32 i = file_count - 1; i > 0; --i) std::swap(sizes[i], sizes[random.next() % (i + 1)]);
  return sizes;
}

// The version the update brings: a digest no installed file has.
digest_t target_of(const digest_t& installed) {
  digest_t target;
  CryptoPP::SHA256().CalculateDigest(target.data(), installed.data(), installed.size());
  return target;
}

// Base layout "kora" with every file at its target, one small COPY diff, and one file patch per
// file from its installed digest to its target through that diff.
bool write_container(const std::string& folder, const std::vector<digest_t>& installed, const char* private_key) {
  CryptoPP::RSA::PrivateKey key;
  if (!publisher::load_private_key(private_key, key)) return false;
  const std::filesystem::path payload = folder + "/diff_payload.bin";
  random_t random{0xD1B54A32D192ED03ull};
  digest_t payload_digest;
  if (!bench::write_random_file(payload, diff_payload_size, random, payload_digest)) return false;

  publisher::layout_t layout;
  layout.name = patch::game_short_name;
  layout.version = {1, 0, 0, 0};
  for (u32 i = 0; i < file_count; ++i) layout.entries.push_back({relative_path(i), target_of(installed[i])});
  publisher::diff_input_t diff;
  diff.method = publisher::block_method_t::copy;
  diff.data = payload;
  publisher::diff_record_t record;
  publisher::container_writer_t writer;
  bool ok = writer.create(container_path(folder)) && writer.add_layout(layout) && writer.add_diff(diff, &record);
  for (u32 i = 0; i < file_count && ok; ++i) ok = writer.add_file_patch(installed[i], layout.entries[i].hash, {record.id});
  return ok && writer.finish(&key);
}

bool write_file_list(const std::string& folder, const std::vector<digest_t>& installed) {
  std::vector<bench::listed_file_t> files(file_count);
  for (u32 i = 0; i < file_count; ++i) files[i] = {installed[i], relative_path(i)};
  return bench::write_digest_list(folder + "/files.txt", files);
}

bool generate(const std::string& folder, const char* private_key) {
  random_t random{0x9E3779B97F4A7C15ull};
  const std::vector<u64> sizes = file_sizes(random);
  std::vector<digest_t> installed(file_count);
  for (u32 i = 0; i < file_count; ++i) {
    const std::filesystem::path path = installation_folder(folder) + "/" + relative_path(i);
    if (!bench::write_random_file(path, sizes[i], random, installed[i])) {
      std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
      return false;
    }
  }
  return write_container(folder, installed, private_key) && write_file_list(folder, installed);
}

int run(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "generate" && argc == 4) return generate(argv[2], argv[3]) ? 0 : 1;
  if (mode == "analyze" && argc == 4)
    return bench::time_installation_analysis(container_path(argv[2]), installation_folder(argv[2]), argv[3], file_count);
  std::fprintf(stderr, "usage: see the top of analysis_bench.cpp\n");
  return 2;
}

} // namespace

int main(int argc, char** argv) { return bench::run_with_runtime(argc, argv, run); }
