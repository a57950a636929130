#include "patch/installed_files.h"

#include "ovcore/messages/messages.h"
#include "ovcore/ufs/file_system.h"
#include "patch/byte_key_map.h"

#include <algorithm>
#include <cstring>

namespace orvo::patch {

namespace {

// Identities of the directories listed so far.
class visited_directories_t {
public:
  // False when the directory was entered before.
  bool enter(const string& path) {
    fs_identity_t identity;
    // Without an identity the listing itself decides.
    if (!get_identity(path, identity)) return true;
    if (identities_.find(identity)) return false;
    identities_.insert(identity, true);
    return true;
  }

private:
  byte_key_map_t<fs_identity_t, bool> identities_;
};

void strip_one_separator(mstring_t& path) {
  const u32 length = path.length();
  if (length && (path[length - 1] == '/' || path[length - 1] == '\\')) path[length - 1] = 0;
}

void relative_path_of(string_dyn_t& out, const string& folder, const string& name) {
  if (folder.empty()) out.set(name);
  else join_path(out, folder, name);
}

} // namespace

u32 list_installed_files(array_t<string_dyn_t>& out, const string& directory) {
  out.clear();
  string_dyn_t root(directory);
  strip_one_separator(root);
  array_dyn_t<string_dyn_t> pending;
  pending.push(string_dyn_t());
  visited_directories_t visited;
  directory_list_t entries;
  while (!pending.empty()) {
    string_dyn_t relative = static_cast<string_dyn_t&&>(pending[pending.size() - 1]);
    pending.remove(pending.size() - 1);
    strip_one_separator(relative);
    string_dyn_t folder;
    if (relative.empty()) folder.set(root);
    else join_path(folder, directory, relative);

    file_info_t info;
    if (!stat_path(folder, &info) || info.kind != file_kind_directory) {
      log_error("[ERR] Directory '%s' not found", folder.c_str());
      return list_files_directory_missing;
    }
    if (!visited.enter(folder)) {
      log_warning("[WRN] Directory '%s' was listed before under another name", folder.c_str());
      continue;
    }
    if (!list_directory(entries, folder, false)) {
      log_error("[ERR] Unable to list directory '%s'", folder.c_str());
      return list_files_unlistable;
    }
    for (const directory_entry_t& entry : entries) {
      string_dyn_t path;
      relative_path_of(path, relative, entry.name);
      if (entry.kind == file_kind_file) {
        out.push_move(path);
      } else if (entry.kind == file_kind_directory) {
        pending.push_move(path);
      } else {
        log_error("[ERR] Unknown entry '%s' of type %u in directory '%s'", entry.name.c_str(), entry.kind,
                  folder.c_str());
        return list_files_unknown_entry;
      }
    }
  }
  std::sort(out.begin(), out.end(),
            [](const string_dyn_t& a, const string_dyn_t& b) { return std::strcmp(a.c_str(), b.c_str()) < 0; });
  return list_files_ok;
}

} // namespace orvo::patch
