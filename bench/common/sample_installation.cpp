#include "sample_installation.h"

#include <cstdio>
#include <utility>

namespace orvo::bench {

namespace {

constexpr u32 files_per_folder = 50;
constexpr u64 smallest_file_size = 4 << 10;
constexpr u32 size_curve_power = 4;
constexpr u64 installation_seed = 0x9E3779B97F4A7C15ull;

// Sizes summing to sample_installation_size, shuffled.
std::vector<u64> file_sizes(xorshift_random_t& random) {
  std::vector<double> weights(sample_file_count);
  double weight_sum = 0;
  for (u32 i = 0; i < sample_file_count; ++i) {
    double weight = 1;
    for (u32 k = 0; k < size_curve_power; ++k) weight *= i;
    weights[i] = weight;
    weight_sum += weight;
  }
  const u64 spare = sample_installation_size - sample_file_count * smallest_file_size;
  std::vector<u64> sizes(sample_file_count);
  u64 total = 0;
  for (u32 i = 0; i < sample_file_count; ++i) {
    sizes[i] = smallest_file_size + static_cast<u64>(spare * (weights[i] / weight_sum));
    total += sizes[i];
  }
  sizes.back() += sample_installation_size - total;  // what rounding left over
  for (u32 i = sample_file_count - 1; i > 0; --i) std::swap(sizes[i], sizes[random.next() % (i + 1)]);
  return sizes;
}

} // namespace

std::string sample_file_path(u32 index) {
  char path[64];
  std::snprintf(path, sizeof path, "data/group_%02u/asset_%03u.pak", index / files_per_folder, index);
  return path;
}

bool write_sample_files(const std::function<std::string(u32 index)>& folder_of,
                        std::vector<sha256_digest_t>& digests) {
  xorshift_random_t random{installation_seed};
  const std::vector<u64> sizes = file_sizes(random);
  digests.assign(sample_file_count, {});
  for (u32 i = 0; i < sample_file_count; ++i) {
    const std::filesystem::path path = folder_of(i) + "/" + sample_file_path(i);
    if (!write_random_file(path, sizes[i], random, digests[i])) {
      std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
      return false;
    }
  }
  return true;
}

} // namespace orvo::bench
