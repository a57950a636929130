// Files of the native device: opening modes, sharing, reads and writes through the I/O thread.
#include "fs_test_support.h"

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
  EXPECT_STREQ(file->name().c_str(), path("data.bin").c_str());
  std::string collected;
  for (u32 size : {10u, 8190u, 5u, 30000u, 61795u}) {
    std::string chunk(size, '\0');
    ASSERT_TRUE(file->read(chunk.data(), size));
    collected += chunk;
  }
  EXPECT_EQ(collected, content);
  char byte;
  EXPECT_FALSE(file->read(&byte, 1));
  EXPECT_TRUE(log_.has("[fs] cached read - read request too big (" + path("data.bin") + ")"));
}

TEST_F(native_file_test, edge_reads_of_a_9000_byte_file) {
  const std::string content = pattern_bytes(9000);
  write_native(path("small.bin"), content);
  auto_ptr_t<file_t> file = open_file_read(path("small.bin").c_str());
  ASSERT_TRUE(file);
  file->set_position(8190);
  char out[100];
  ASSERT_TRUE(file->read(out, 10));
  EXPECT_EQ(std::string(out, 10), content.substr(8190, 10));
  file->set_position(8950);
  EXPECT_FALSE(file->read(out, 100));
  EXPECT_TRUE(log_.has("[fs] cached read - read request too big (" + path("small.bin") + ")"));
}

TEST_F(native_file_test, create_truncate_replaces_an_existing_file) {
  write_native(path("old.txt"), "a much longer old content");
  {
    auto_ptr_t<file_t> file = open_file_create(path("old.txt").c_str());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->get_size(), 0u);
    ASSERT_TRUE(file->file_printf("new %u", 7u));
  }
  EXPECT_EQ(read_native(path("old.txt")), "new 7");
}

TEST_F(native_file_test, writing_open_creates_the_missing_directories) {
  auto_ptr_t<file_t> file = open_file_create(path("a/b/c.txt").c_str());
  ASSERT_TRUE(file);
  file_info_t info;
  ASSERT_TRUE(stat_path(path("a").c_str(), &info));
  EXPECT_EQ(info.kind, file_kind_directory);
  ASSERT_TRUE(stat_path(path("a/b").c_str(), &info));
  EXPECT_EQ(info.kind, file_kind_directory);
}

TEST_F(native_file_test, missing_file_fails_to_open_with_its_message) {
  EXPECT_FALSE(open_file_read(path("missing.bin").c_str()));
  EXPECT_TRUE(log_.has("[fs] Failed to open file \"" + path("missing.bin") + "\" in the read_only mode"));
}

TEST_F(native_file_test, path_beyond_511_units_cannot_be_opened) {
  const std::string long_name = path(std::string(600, 'x'));
  EXPECT_FALSE(open_file_create(long_name.c_str()));
  EXPECT_TRUE(log_.has("[fs] Failed to open file \"" + long_name + "\" in the create_truncate mode"));
  EXPECT_FALSE(open_file_read(long_name.c_str()));
  EXPECT_FALSE(stat_path(long_name.c_str(), nullptr));
  EXPECT_FALSE(create_directories(long_name.c_str()));
}

TEST_F(native_file_test, open_modes_follow_their_dispositions) {
  fs_device_t* device = native_device();
  write_native(path("exists.bin"), "xyz");
  EXPECT_FALSE(device->open(path("exists.bin").c_str(), fs_open_create_new));
  EXPECT_FALSE(device->open(path("exists.bin").c_str(), 4));
  {
    auto_ptr_t<file_t> file = device->open(path("exists.bin").c_str(), fs_open_always);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->get_size(), 3u);
  }
  {
    auto_ptr_t<file_t> file = device->open(path("fresh.bin").c_str(), fs_open_create_new);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->write("ab", 2));
  }
  {
    auto_ptr_t<file_t> file = device->open(path("other.bin").c_str(), fs_open_always);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->get_size(), 0u);
  }
  EXPECT_EQ(read_native(path("fresh.bin")), "ab");
  EXPECT_EQ(read_native(path("exists.bin")), "xyz");
}

TEST_F(native_file_test, others_may_read_but_not_write_or_delete_an_open_file) {
  write_native(path("shared.bin"), "shared");
  {
    auto_ptr_t<file_t> reader = open_file_read(path("shared.bin").c_str());
    ASSERT_TRUE(reader);
    auto_ptr_t<file_t> second_reader = open_file_read(path("shared.bin").c_str());
    EXPECT_TRUE(second_reader);
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

TEST_F(native_file_test, names_that_are_not_disk_files_are_refused) {
#ifdef _WIN32
  const std::string device_name = "NUL";
#else
  const std::string device_name = path("fifo");
  ASSERT_EQ(mkfifo(device_name.c_str(), 0600), 0);
#endif
  EXPECT_FALSE(open_file_read(device_name.c_str()));
  EXPECT_FALSE(open_file_read(folder_.c_str()));
#ifndef _WIN32
  EXPECT_TRUE(delete_file(device_name.c_str()));
#endif
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

  ASSERT_TRUE(stat_path(folder_.c_str(), &info));
  EXPECT_EQ(info.kind, file_kind_directory);
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
  EXPECT_TRUE(log_.has("[fs] unable to retrive device pointer of specified type (2) for \"some/file.bin\""));
  EXPECT_FALSE(open_file_create("other.bin"));
  EXPECT_TRUE(log_.has("[fs] unable to retrive device pointer of specified type (2) for \"other.bin\""));
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
