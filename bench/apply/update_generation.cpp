#include "update_generation.h"

#include "digest_list.h"
#include "edited_version.h"
#include "sample_installation.h"
#include "update_container.h"

#include <cstdio>

namespace orvo::bench {

namespace {

constexpr u64 edit_seed = 0xD1B54A32D192ED03ull;

// The sample files, new ones straight among the targets since they are not installed.
bool write_files(const std::string& folder, std::vector<planned_file_t>& files) {
  std::vector<sha256_digest_t> digests;
  const auto folder_of = [&](u32 index) {
    return change_of(index) == file_change_t::added ? targets_folder(folder) : pristine_folder(folder);
  };
  if (!write_sample_files(folder_of, digests)) return false;
  files.clear();
  for (u32 i = 0; i < sample_file_count; ++i)
    files.push_back({sample_file_path(i), change_of(i), digests[i], digests[i]});
  return true;
}

bool write_edited_versions(const std::string& folder, std::vector<planned_file_t>& files) {
  xorshift_random_t random{edit_seed};
  for (planned_file_t& file : files) {
    if (file.change != file_change_t::edited) continue;
    const std::string target = targets_folder(folder) + "/" + file.path;
    if (!write_edited_version(pristine_folder(folder) + "/" + file.path, target, random, file.target)) {
      std::fprintf(stderr, "cannot write %s\n", target.c_str());
      return false;
    }
  }
  return true;
}

bool write_lists(const std::string& folder, const std::vector<planned_file_t>& files) {
  std::vector<listed_file_t> installed, targets;
  for (const planned_file_t& file : files) {
    if (file.change != file_change_t::added) installed.push_back({file.installed, file.path});
    targets.push_back({file.target, file.path});
  }
  return write_digest_list(installed_list_path(folder), installed) &&
         write_digest_list(target_list_path(folder), targets);
}

void print_summary(const std::string& folder, const std::vector<planned_file_t>& files) {
  u64 counts[file_change_count] = {}, bytes[file_change_count] = {};
  for (const planned_file_t& file : files) {
    const u32 change = static_cast<u32>(file.change);
    const std::string base =
        file.change == file_change_t::unchanged ? pristine_folder(folder) : targets_folder(folder);
    ++counts[change];
    bytes[change] += std::filesystem::file_size(base + "/" + file.path);
  }
  const auto mib = [](u64 size) { return static_cast<double>(size) / (1 << 20); };
  std::printf("update unchanged=%llu unchanged_mib=%.1f edited=%llu edited_mib=%.1f added=%llu added_mib=%.1f "
              "container_mib=%.1f\n",
              static_cast<unsigned long long>(counts[0]), mib(bytes[0]), static_cast<unsigned long long>(counts[1]),
              mib(bytes[1]), static_cast<unsigned long long>(counts[2]), mib(bytes[2]),
              mib(std::filesystem::file_size(update_container_path(folder))));
}

} // namespace

bool generate_update(const std::string& folder, const char* private_key) {
  std::vector<planned_file_t> files;
  const bool ok = write_files(folder, files) && write_edited_versions(folder, files) &&
                  write_update_container(folder, files, private_key) && write_lists(folder, files);
  if (ok) print_summary(folder, files);
  return ok;
}

} // namespace orvo::bench
