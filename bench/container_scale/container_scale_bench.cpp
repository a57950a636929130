// Containers of large games: opening them and finding patch chains in them as the record count
// grows, and the analysis of an installation of many small files. run_container_scale.sh prints
// the figures per record count beside openssl's.
//
// usage: container_scale_bench install FOLDER
//          writes FOLDER/installation (small files in five layouts) and FOLDER/files.txt
//        container_scale_bench generate FOLDER PRIVATE-KEY RECORDS
//          writes FOLDER/container_RECORDS.ktlp: the installation's layouts and RECORDS content
//          keys, diffs and file patches, signed with the key
//        container_scale_bench measure FOLDER PUBLIC-KEY.der RECORDS
//          opens that container in memory, the key the only key, and runs the chain look-ups;
//          prints the best of three times of each
//        container_scale_bench analyze FOLDER PUBLIC-KEY.der RECORDS
//          analyses FOLDER/installation with that container; prints the result and the times
#include "bench_runtime.h"
#include "chain_lookups.h"
#include "container_open_timing.h"
#include "installation_analysis.h"
#include "scale_container.h"
#include "scale_installation.h"
#include "whole_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace orvo;
using namespace orvo::bench;

namespace {

constexpr u32 lookup_count = 10000;
constexpr u32 repeats = 3;

// The record count argument, within what one KEYS chunk and the chain plan allow; 0 otherwise.
u32 record_count_of(const char* text) {
  const unsigned long value = std::strtoul(text, nullptr, 10);
  if (value < scale_records_t::fewest_records || value > patch::keys_key_limit) {
    std::fprintf(stderr, "the record count must lie between %u and %u\n", scale_records_t::fewest_records,
                 patch::keys_key_limit);
    return 0;
  }
  return static_cast<u32>(value);
}

int generate(const std::string& folder, const char* private_key, u32 record_count) {
  std::vector<digest_t> installed;
  if (!read_installed_digests(folder, installed)) return 1;
  const scale_records_t records(record_count, installed);
  return write_scale_container(folder, records, private_key) ? 0 : 1;
}

// Best of the repeats; the pool of the last one stays open for the look-ups.
container_open_timing_t best_open(std::unique_ptr<patch::container_pool_t>& pool, const std::vector<u8>& container,
                                  const public_key_file_t& key) {
  container_open_timing_t best = {};
  for (u32 i = 0; i < repeats; ++i) {
    pool = std::make_unique<patch::container_pool_t>();
    const container_open_timing_t timing = time_container_open(*pool, container, key);
    if (timing.result != patch::container_open_result_t::ok) return timing;
    if (i == 0 || timing.seconds < best.seconds) best.seconds = timing.seconds;
    if (i == 0 || timing.reading_seconds < best.reading_seconds) best.reading_seconds = timing.reading_seconds;
  }
  best.result = patch::container_open_result_t::ok;
  return best;
}

double best_lookups(const patch::container_pool_t& pool, const std::vector<chain_query_t>& queries) {
  double best = time_chain_lookups(pool, queries);
  for (u32 i = 1; i < repeats; ++i) best = std::min(best, time_chain_lookups(pool, queries));
  return best;
}

int measure(const std::string& folder, const char* public_key, u32 record_count) {
  const std::vector<u8> container = read_whole_file(scale_container_path(folder, record_count));
  public_key_file_t key;
  std::vector<digest_t> installed;
  if (container.empty() || !key.load(public_key) || !read_installed_digests(folder, installed)) {
    std::fprintf(stderr, "cannot read the container or the key\n");
    return 1;
  }
  std::unique_ptr<patch::container_pool_t> pool;
  const container_open_timing_t open = best_open(pool, container, key);
  if (open.result != patch::container_open_result_t::ok) {
    std::fprintf(stderr, "container refused: %s\n", patch::container_open_result_name(static_cast<u32>(open.result)));
    return 1;
  }
  const std::vector<chain_query_t> queries = make_chain_queries(scale_records_t(record_count, installed), lookup_count);
  if (!check_chain_lookups(*pool, queries)) return 1;
  std::printf("container records=%u bytes=%llu open_seconds=%.6f reading_seconds=%.6f lookups=%u lookup_seconds=%.6f\n",
              record_count, static_cast<unsigned long long>(container.size()), open.seconds, open.reading_seconds,
              lookup_count, best_lookups(*pool, queries));
  return 0;
}

int analyze(const std::string& folder, const char* public_key, u32 record_count) {
  std::vector<digest_t> installed;
  if (!read_installed_digests(folder, installed)) return 1;
  if (!scale_records_t(record_count, installed).patches_installation()) {
    std::fprintf(stderr, "%u records do not patch all %u installed files\n", record_count, installation_file_count);
    return 1;
  }
  return time_installation_analysis(scale_container_path(folder, record_count), installation_folder(folder),
                                    public_key, installation_file_count);
}

int run(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "install" && argc == 3) return write_installation(argv[2]) ? 0 : 1;
  const u32 record_count = argc == 5 ? record_count_of(argv[4]) : 0;
  if (record_count && mode == "generate") return generate(argv[2], argv[3], record_count);
  if (record_count && mode == "measure") return measure(argv[2], argv[3], record_count);
  if (record_count && mode == "analyze") return analyze(argv[2], argv[3], record_count);
  std::fprintf(stderr, "usage: see the top of container_scale_bench.cpp\n");
  return 2;
}

} // namespace

int main(int argc, char** argv) { return bench::run_with_runtime(argc, argv, run); }
