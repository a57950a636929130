#pragma once
#include "patch/container_format.h"
#include "random_file.h"

#include <string>
#include <vector>

namespace orvo::bench {

// The installation the analysis reads: small files in the base layout "kora" and four DLC layouts
// "kora.dlc_1" .. "kora.dlc_4", each as full as one layout chunk allows. A DLC layout's first
// path is its archive "dlc_N.ktl", whose presence in the installation selects the layout.
constexpr u32 installation_layout_count = 5;
constexpr u32 installation_file_count = installation_layout_count * patch::layo_entry_limit;

std::string installation_folder(const std::string& folder);
std::string installation_layout_name(u32 layout);
// Relative path of a file; file / layo_entry_limit is its layout.
std::string installed_path(u32 file);

// Writes FOLDER/installation and FOLDER/files.txt (each file's SHA-256 and path, in layout order).
bool write_installation(const std::string& folder);
// The installed files' digests in layout order, from FOLDER/files.txt.
bool read_installed_digests(const std::string& folder, std::vector<sha256_digest_t>& out);

} // namespace orvo::bench
