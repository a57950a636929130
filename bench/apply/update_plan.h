#pragma once
#include "random_file.h"

#include <string>

namespace orvo::bench {

// What the update does to a file of the sample installation: one file in five is edited in small
// places and rebuilt from a delta, one in fifty is new (not installed, shipped whole), the rest stay.
enum class file_change_t : u32 { unchanged, edited, added };
constexpr u32 file_change_count = 3;

file_change_t change_of(u32 index);

// One file of the update.
struct planned_file_t {
  std::string path;  // relative, '/' separators
  file_change_t change;
  sha256_digest_t installed;  // unchanged and edited files only
  sha256_digest_t target;
};

// The benchmark's files below its cache folder.
std::string pristine_folder(const std::string& folder);  // the installation before the update
std::string targets_folder(const std::string& folder);   // what the update writes: edited and new files
std::string deltas_folder(const std::string& folder);    // the encoder's output until the container holds it
std::string update_container_path(const std::string& folder);
std::string installed_list_path(const std::string& folder);  // digest and path of every installed file
std::string target_list_path(const std::string& folder);     // digest and path of every file after the update

} // namespace orvo::bench
