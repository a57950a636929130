#include "scale_installation.h"

#include "digest_list.h"
#include "patch/installation_layout.h"

#include <cstdio>

namespace orvo::bench {

namespace {

constexpr u32 files_per_folder = 100;
constexpr u32 smallest_file_size = 1 << 10;
constexpr u32 largest_file_size = 16 << 10;

std::string file_list(const std::string& folder) { return folder + "/files.txt"; }

} // namespace

std::string installation_folder(const std::string& folder) { return folder + "/installation"; }

std::string installation_layout_name(u32 layout) {
  if (layout == 0) return patch::game_short_name;
  return std::string(patch::game_short_name) + ".dlc_" + std::to_string(layout);
}

std::string installed_path(u32 file) {
  const u32 layout = file / patch::layo_entry_limit;
  const u32 position = file % patch::layo_entry_limit;
  if (layout > 0 && position == 0) return "dlc_" + std::to_string(layout) + ".ktl";
  const std::string top = layout == 0 ? std::string("data") : "dlc_" + std::to_string(layout);
  char path[64];
  std::snprintf(path, sizeof path, "%s/group_%03u/asset_%05u.pak", top.c_str(), position / files_per_folder, file);
  return path;
}

bool write_installation(const std::string& folder) {
  xorshift_random_t random{0x9E3779B97F4A7C15ull};
  std::vector<listed_file_t> files(installation_file_count);
  for (u32 i = 0; i < installation_file_count; ++i) {
    files[i].path = installed_path(i);
    const u64 size = smallest_file_size + random.below(largest_file_size - smallest_file_size + 1);
    const std::string path = installation_folder(folder) + "/" + files[i].path;
    if (!write_random_file(path, size, random, files[i].digest)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return false;
    }
  }
  return write_digest_list(file_list(folder), files);
}

bool read_installed_digests(const std::string& folder, std::vector<sha256_digest_t>& out) {
  std::vector<listed_file_t> files;
  if (!read_digest_list(file_list(folder), files) || files.size() != installation_file_count) {
    std::fprintf(stderr, "cannot read the installation's file list %s\n", file_list(folder).c_str());
    return false;
  }
  out.clear();
  for (const listed_file_t& file : files) out.push_back(file.digest);
  return true;
}

} // namespace orvo::bench
