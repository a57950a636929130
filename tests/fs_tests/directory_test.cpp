// Directory creation, listing and removal on the native device.
#include "fs_test_support.h"

#include <algorithm>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace orvo::testing {
namespace {

using directory_test = fs_test_t;
using entries_t = std::vector<std::pair<std::string, u32>>;

entries_t sorted_entries(const std::string& folder, bool full_paths) {
  directory_list_t entries;
  EXPECT_TRUE(list_directory(entries, folder.c_str(), full_paths));
  entries_t result;
  for (const directory_entry_t& entry : entries) result.emplace_back(entry.name.c_str(), entry.kind);
  std::sort(result.begin(), result.end());
  return result;
}

TEST_F(directory_test, creation_makes_every_level_and_stops_at_a_file) {
  write_native(path("blocker"), "x");
  const std::pair<std::string, bool> cases[] = {
      {path("one/two/three"), true},
      {path("one/two/"), true},  // existing, with a trailing separator
      {"", true},
      {path("blocker/sub"), false},
      {path("blocker"), false},
  };
  for (const auto& [folder, created] : cases) EXPECT_EQ(create_directories(folder.c_str()), created) << folder;
  file_info_t info;
  ASSERT_TRUE(stat_path(path("one/two/three").c_str(), &info));
  EXPECT_EQ(info.kind, file_kind_directory);
}

TEST_F(directory_test, listing_gives_files_and_folders_only) {
  ASSERT_TRUE(create_directories(path("list/.svn").c_str()));
  ASSERT_TRUE(create_directories(path("list/sub").c_str()));
  write_native(path("list/b.txt"), "b");
  write_native(path("list/a.txt"), "a");
#ifndef _WIN32
  ASSERT_EQ(mkfifo(path("list/pipe").c_str(), 0600), 0);
  file_info_t info;
  ASSERT_TRUE(stat_path(path("list/pipe").c_str(), &info));
  EXPECT_EQ(info.kind, file_kind_other);
#endif
  EXPECT_EQ(sorted_entries(path("list"), false),
            (entries_t{{"a.txt", file_kind_file}, {"b.txt", file_kind_file}, {"sub", file_kind_directory}}));
  EXPECT_EQ(sorted_entries(path("list"), true), (entries_t{{path("list/a.txt"), file_kind_file},
                                                           {path("list/b.txt"), file_kind_file},
                                                           {path("list/sub"), file_kind_directory}}));
  directory_list_t entries;
  entries.resize(3);
  EXPECT_FALSE(list_directory(entries, path("absent").c_str(), false));
  EXPECT_EQ(entries.size(), 0u);
#ifndef _WIN32
  EXPECT_TRUE(delete_file(path("list/pipe").c_str()));
#endif
}

TEST_F(directory_test, remove_directory_only_removes_empty_ones) {
  ASSERT_TRUE(create_directories(path("full/inner").c_str()));
  EXPECT_FALSE(remove_directory(path("full").c_str()));
  EXPECT_TRUE(remove_directory(path("full/inner").c_str()));
  EXPECT_TRUE(remove_directory(path("full").c_str()));
  EXPECT_FALSE(stat_path(path("full").c_str(), nullptr));
}

} // namespace
} // namespace orvo::testing
