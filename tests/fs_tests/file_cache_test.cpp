// Cached files: images of whole files served before the native device.
#include "fs_test_support.h"

#include "ovcore/ufs/fs_cache.h"

namespace orvo::testing {
namespace {

using file_cache_test = fs_test_t;

array_dyn_t<u8> image_of(const std::string& text) {
  array_dyn_t<u8> image;
  for (char c : text) image.push(static_cast<u8>(c));
  return image;
}

TEST_F(file_cache_test, image_of_the_same_device_and_exact_path_is_read_instead_of_the_disk) {
  write_native(path("img.bin"), "disk bytes");
  write_native(path("disk.bin"), "disk");
  ASSERT_TRUE(fs_cache_insert(path("img.bin").c_str(), fs_native_device_type, image_of("cached image")));
  ASSERT_TRUE(fs_cache_insert(path("disk.bin").c_str(), 7, image_of("cache")));

  auto_ptr_t<file_t> file = open_file_read(path("img.bin").c_str());
  ASSERT_TRUE(file);
  EXPECT_FALSE(file->uses_read_cache());
  EXPECT_EQ(file->get_size(), 12u);
  char out[12];
  ASSERT_TRUE(file->read(out, 12));
  EXPECT_EQ(std::string(out, 12), "cached image");
  EXPECT_FALSE(file->read(out, 1));
  EXPECT_FALSE(file->read_at(out, 2, 11));

  auto_ptr_t<file_t> disk = open_file_read(path("disk.bin").c_str());
  ASSERT_TRUE(disk);
  EXPECT_TRUE(disk->uses_read_cache());
  EXPECT_EQ(disk->get_size(), 4u);
  EXPECT_FALSE(fs_cache_open(path("DISK.bin").c_str(), 7));
}

TEST_F(file_cache_test, creating_a_file_drops_its_entry_after_its_readers_close) {
  ASSERT_TRUE(fs_cache_insert(path("c.bin").c_str(), fs_native_device_type, image_of("old image")));
  auto_ptr_t<file_t> reader = open_file_read(path("c.bin").c_str());
  ASSERT_TRUE(reader);
  {
    auto_ptr_t<file_t> writer = open_file_create(path("c.bin").c_str());
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer->write("new", 3));
  }
  // The dropped image still serves the reader that had it open.
  char out[9];
  ASSERT_TRUE(reader->read(out, 9));
  EXPECT_EQ(std::string(out, 9), "old image");
  reader.reset();

  auto_ptr_t<file_t> fresh = open_file_read(path("c.bin").c_str());
  ASSERT_TRUE(fresh);
  EXPECT_EQ(fresh->get_size(), 3u);
}

TEST_F(file_cache_test, writing_to_a_cached_file_is_a_failed_check) {
  // The I/O thread runs, so the child re-executes the test instead of forking mid-way.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ASSERT_TRUE(fs_cache_insert("mem/ro", fs_native_device_type, image_of("ro")));
  EXPECT_DEATH(
      {
        print_messages_to_stderr();
        auto_ptr_t<file_t> file = open_file_read("mem/ro");
        file->io_write("x", 1, 0);
      },
      "ufs/fs_cache\\(168\\): .*: cached files do not support write operation\\.");
}

} // namespace
} // namespace orvo::testing
