// Files of the native device: opening modes, sharing, reads and writes through the I/O thread.
#include "fs_test_support.h"

#include "ovcore/ufs/fs_device.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace orvo::testing {
namespace {

using native_file_test = fs_test_t;

TEST_F(native_file_test, written_bytes_read_back_through_the_cache) {
  const std::string content = pattern_bytes(100000);
  {
    auto_ptr_t<file_t> file = open_file_create(path("data.bin").c_str());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->device_type(), fs_native_device_type);
    ASSERT_TRUE(file->write(content.data(), 60000));
    ASSERT_TRUE(file->write(content.data() + 60000, 40000));
    EXPECT_EQ(file->get_size(), 100000u);
  }
  EXPECT_EQ(read_native(path("data.bin")), content);

  auto_ptr_t<file_t> file = open_file_read(path("data.bin").c_str());
  ASSERT_TRUE(file);
  std::string back(100000, '\0');
  ASSERT_TRUE(file->read(back.data(), 10));
  ASSERT_TRUE(file->read(back.data() + 10, 99990));
  EXPECT_EQ(back, content);
  EXPECT_FALSE(file->read(back.data(), 1));
  EXPECT_TRUE(log_.contains("[fs] cached read - read request too big (" + path("data.bin") + ")", message_level_error));
}

TEST_F(native_file_test, creation_truncates_and_makes_the_missing_folders) {
  write_native(path("old.txt"), "a much longer old content");
  for (const char* name : {"old.txt", "a/b/c.txt"}) {
    auto_ptr_t<file_t> file = open_file_create(path(name).c_str());
    ASSERT_TRUE(file) << name;
    EXPECT_EQ(file->get_size(), 0u);
    ASSERT_TRUE(file->file_printf("new %u", 7u));
    file.reset();
    EXPECT_EQ(read_native(path(name)), "new 7");
  }
}

TEST_F(native_file_test, opens_that_fail_say_which_file_and_mode) {
  const std::string long_name = path(std::string(600, 'x'));  // beyond 511 units
#ifdef _WIN32
  const std::string device_name = "NUL";
#else
  const std::string device_name = path("fifo");
  ASSERT_EQ(mkfifo(device_name.c_str(), 0600), 0);
#endif
  EXPECT_FALSE(open_file_read(path("missing.bin").c_str()));
  EXPECT_TRUE(log_.contains("[fs] Failed to open file \"" + path("missing.bin") + "\" in the read_only mode",
                            message_level_error));
  EXPECT_FALSE(open_file_create(long_name.c_str()));
  EXPECT_TRUE(log_.contains("[fs] Failed to open file \"" + long_name + "\" in the create_truncate mode",
                            message_level_error));
  // Names that are not disk files are refused.
  for (const std::string& name : {long_name, device_name, folder_}) EXPECT_FALSE(open_file_read(name.c_str())) << name;
  EXPECT_FALSE(stat_path(long_name.c_str(), nullptr));
  EXPECT_FALSE(create_directories(long_name.c_str()));
#ifndef _WIN32
  EXPECT_TRUE(delete_file(device_name.c_str()));
#endif
}

TEST_F(native_file_test, open_modes_follow_their_dispositions) {
  write_native(path("exists.bin"), "xyz");
  struct open_case_t {
    const char* name;
    u32 mode;
    bool opens;
  };
  const open_case_t cases[] = {
      {"exists.bin", fs_open_create_new, false}, {"exists.bin", 4, false},   {"exists.bin", fs_open_always, true},
      {"fresh.bin", fs_open_create_new, true},   {"other.bin", fs_open_always, true},
  };
  for (const open_case_t& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.mode));
    auto_ptr_t<file_t> file = native_device()->open(path(c.name).c_str(), c.mode);
    ASSERT_EQ(static_cast<bool>(file), c.opens);
    EXPECT_TRUE(!file || file->write("ab", 2));
  }
  EXPECT_EQ(read_native(path("exists.bin")), "abz");
  EXPECT_EQ(read_native(path("fresh.bin")), "ab");
  EXPECT_EQ(read_native(path("other.bin")), "ab");
}

TEST_F(native_file_test, others_may_read_but_not_write_or_delete_an_open_file) {
  write_native(path("shared.bin"), "shared");
  {
    auto_ptr_t<file_t> reader = open_file_read(path("shared.bin").c_str());
    ASSERT_TRUE(reader);
    EXPECT_TRUE(open_file_read(path("shared.bin").c_str()));
    EXPECT_FALSE(open_file_create(path("shared.bin").c_str()));
    EXPECT_FALSE(delete_file(path("shared.bin").c_str()));
    EXPECT_FALSE(move(path("shared.bin").c_str(), path("moved.bin").c_str(), true));
  }
  EXPECT_EQ(read_native(path("shared.bin")), "shared");
  {
    auto_ptr_t<file_t> writer = open_file_create(path("shared.bin").c_str());
    ASSERT_TRUE(writer);
    // The system's readers ask for exclusive reading, so a file open for writing cannot be read.
    EXPECT_FALSE(open_file_read(path("shared.bin").c_str()));
    EXPECT_FALSE(delete_file(path("shared.bin").c_str()));
  }
  EXPECT_TRUE(delete_file(path("shared.bin").c_str()));
  EXPECT_FALSE(stat_path(path("shared.bin").c_str(), nullptr));
}

TEST_F(native_file_test, stat_reports_kind_size_and_time) {
  write_native(path("f.bin"), std::string(1234, 'q'));
  file_info_t info;
  ASSERT_TRUE(stat_path(path("f.bin").c_str(), &info));
  EXPECT_EQ(info.kind, file_kind_file);
  EXPECT_EQ(info.size, 1234u);
  // Some time after 2001 in 100-ns units since 1601.
  EXPECT_GT(info.modification_time, 126000000000000000ull);
  EXPECT_EQ(info.device, native_device());

  auto_ptr_t<file_t> file = open_file_read(path("f.bin").c_str());
  ASSERT_TRUE(file);
  file_info_t opened;
  ASSERT_TRUE(file->stat(&opened));
  EXPECT_EQ(opened.kind, file_kind_file);
  EXPECT_EQ(opened.size, 1234u);
  EXPECT_EQ(opened.modification_time, info.modification_time);
  EXPECT_FALSE(stat_path(path("none").c_str(), &info));
}

TEST_F(native_file_test, move_replaces_only_when_asked) {
  write_native(path("from.txt"), "from");
  write_native(path("to.txt"), "to");
  EXPECT_FALSE(move(path("from.txt").c_str(), path("to.txt").c_str(), false));
  EXPECT_EQ(read_native(path("to.txt")), "to");
  EXPECT_TRUE(move(path("from.txt").c_str(), path("to.txt").c_str(), true));
  EXPECT_EQ(read_native(path("to.txt")), "from");
  EXPECT_FALSE(stat_path(path("from.txt").c_str(), nullptr));
  EXPECT_TRUE(move(path("to.txt").c_str(), path("new.txt").c_str(), false));
  EXPECT_EQ(read_native(path("new.txt")), "from");
  EXPECT_FALSE(delete_file(path("to.txt").c_str()));
}

TEST_F(native_file_test, without_the_layer_every_open_reports_the_missing_device) {
  fs_shutdown();
  EXPECT_FALSE(open_file_read("some/file.bin"));
  EXPECT_FALSE(open_file_create("other.bin"));
  for (const char* name : {"some/file.bin", "other.bin"})
    EXPECT_TRUE(log_.contains(
        std::string("[fs] unable to retrive device pointer of specified type (2) for \"") + name + "\"",
        message_level_error));
  EXPECT_FALSE(stat_path("some", nullptr));
}

TEST_F(native_file_test, temp_directory_is_the_ktl_folder) {
  string_path_t work;
  ASSERT_TRUE(get_temp_directory(work));
  const std::string text = work.c_str();
  ASSERT_GE(text.size(), 5u);
  EXPECT_EQ(text.substr(text.size() - 5), "/.ktl");
  EXPECT_EQ(text.find('\\'), std::string::npos);
  EXPECT_EQ(text.find("//"), std::string::npos);
  file_info_t info;
  ASSERT_TRUE(stat_path(work, &info));
  EXPECT_EQ(info.kind, file_kind_directory);
}

} // namespace
} // namespace orvo::testing
