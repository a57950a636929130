// Directory creation and listing of the native device.
#include "fs_test_support.h"

#include <algorithm>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace orvo::testing {
namespace {

using directory_test = fs_test_t;

std::vector<std::pair<std::string, u32>> sorted_entries(const std::string& folder, bool full_paths) {
  directory_list_t entries;
  EXPECT_TRUE(list_directory(entries, folder.c_str(), full_paths));
  std::vector<std::pair<std::string, u32>> result;
  for (const directory_entry_t& entry : entries) result.emplace_back(entry.name.c_str(), entry.kind);
  std::sort(result.begin(), result.end());
  return result;
}

TEST_F(directory_test, nested_directories_are_created_in_order) {
  ASSERT_TRUE(create_directories(path("one/two/three").c_str()));
  file_info_t info;
  ASSERT_TRUE(stat_path(path("one/two/three").c_str(), &info));
  EXPECT_EQ(info.kind, file_kind_directory);
  // Existing directories count as created; a trailing separator is accepted.
  EXPECT_TRUE(create_directories(path("one/two/").c_str()));
  EXPECT_TRUE(create_directories(""));
}

TEST_F(directory_test, a_file_in_the_way_fails_creation) {
  write_native(path("blocker"), "x");
  EXPECT_FALSE(create_directories(path("blocker/sub").c_str()));
  EXPECT_FALSE(create_directories(path("blocker").c_str()));
}

TEST_F(directory_test, listing_skips_the_special_names) {
  ASSERT_TRUE(create_directories(path("list/.svn").c_str()));
  ASSERT_TRUE(create_directories(path("list/sub").c_str()));
  write_native(path("list/b.txt"), "b");
  write_native(path("list/a.txt"), "a");
  using entries_t = std::vector<std::pair<std::string, u32>>;
  EXPECT_EQ(sorted_entries(path("list"), false),
            (entries_t{{"a.txt", file_kind_file}, {"b.txt", file_kind_file}, {"sub", file_kind_directory}}));
  EXPECT_EQ(sorted_entries(path("list"), true), (entries_t{{path("list/a.txt"), file_kind_file},
                                                           {path("list/b.txt"), file_kind_file},
                                                           {path("list/sub"), file_kind_directory}}));
}

TEST_F(directory_test, missing_directory_lists_nothing_and_fails) {
  directory_list_t entries;
  entries.resize(3);
  EXPECT_FALSE(list_directory(entries, path("absent").c_str(), false));
  EXPECT_EQ(entries.size(), 0u);
}

TEST_F(directory_test, remove_directory_only_removes_empty_ones) {
  ASSERT_TRUE(create_directories(path("full/inner").c_str()));
  EXPECT_FALSE(remove_directory(path("full").c_str()));
  EXPECT_TRUE(remove_directory(path("full/inner").c_str()));
  EXPECT_TRUE(remove_directory(path("full").c_str()));
  EXPECT_FALSE(stat_path(path("full").c_str(), nullptr));
}

#ifndef _WIN32
TEST_F(directory_test, entries_of_other_kinds_are_left_out) {
  ASSERT_TRUE(create_directories(path("mixed").c_str()));
  write_native(path("mixed/file"), "f");
  ASSERT_EQ(mkfifo(path("mixed/pipe").c_str(), 0600), 0);
  file_info_t info;
  ASSERT_TRUE(stat_path(path("mixed/pipe").c_str(), &info));
  EXPECT_EQ(info.kind, file_kind_other);
  using entries_t = std::vector<std::pair<std::string, u32>>;
  EXPECT_EQ(sorted_entries(path("mixed"), false), (entries_t{{"file", file_kind_file}}));
  EXPECT_TRUE(delete_file(path("mixed/pipe").c_str()));
}
#endif

} // namespace
} // namespace orvo::testing
