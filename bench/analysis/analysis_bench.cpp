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
#include "sample_installation.h"
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

constexpr u64 diff_payload_size = 4 << 10;

std::string installation_folder(const std::string& folder) { return folder + "/installation"; }
std::string container_path(const std::string& folder) { return folder + "/container.ktlp"; }

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
  for (u32 i = 0; i < bench::sample_file_count; ++i)
    layout.entries.push_back({bench::sample_file_path(i), target_of(installed[i])});
  publisher::diff_input_t diff;
  diff.method = publisher::block_method_t::copy;
  diff.data = payload;
  publisher::diff_record_t record;
  publisher::container_writer_t writer;
  bool ok = writer.create(container_path(folder)) && writer.add_layout(layout) && writer.add_diff(diff, &record);
  for (u32 i = 0; i < bench::sample_file_count && ok; ++i)
    ok = writer.add_file_patch(installed[i], layout.entries[i].hash, {record.id});
  return ok && writer.finish(&key);
}

bool write_file_list(const std::string& folder, const std::vector<digest_t>& installed) {
  std::vector<bench::listed_file_t> files(bench::sample_file_count);
  for (u32 i = 0; i < bench::sample_file_count; ++i) files[i] = {installed[i], bench::sample_file_path(i)};
  return bench::write_digest_list(folder + "/files.txt", files);
}

bool generate(const std::string& folder, const char* private_key) {
  std::vector<digest_t> installed;
  return bench::write_sample_files([&](u32) { return installation_folder(folder); }, installed) &&
         write_container(folder, installed, private_key) && write_file_list(folder, installed);
}

int run(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "generate" && argc == 4) return generate(argv[2], argv[3]) ? 0 : 1;
  if (mode == "analyze" && argc == 4)
    return bench::time_installation_analysis(container_path(argv[2]), installation_folder(argv[2]), argv[3],
                                            bench::sample_file_count);
  std::fprintf(stderr, "usage: see the top of analysis_bench.cpp\n");
  return 2;
}

} // namespace

int main(int argc, char** argv) { return bench::run_with_runtime(argc, argv, run); }
