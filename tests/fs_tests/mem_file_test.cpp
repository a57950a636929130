// Memory files: the bound read-only file and writable paged files.
#include "fs_test_support.h"

#include "ovutils/ufs/mem_file.h"

namespace orvo::testing {
namespace {

TEST(mem_file, bound_file_reads_within_its_bytes_only) {
  log_capture_t log;
  char bytes[12] = "abcdefghijk";
  mem_file_t file(bytes, sizeof(bytes));
  file_info_t info;
  ASSERT_TRUE(file.stat(&info));
  EXPECT_EQ(info.kind, file_kind_file);
  EXPECT_EQ(info.size, 12u);
  EXPECT_EQ(info.modification_time, 0u);
  EXPECT_TRUE(file.stat(nullptr));

  struct range_t {
    u32 size;
    u64 offset;
    bool inside;
  };
  const range_t ranges[] = {{5, 7, true}, {0, 100, true}, {1, 12, false}, {13, 0, false}, {1, ~u64{0}, false}};
  char out[13] = {};
  for (const range_t& range : ranges) {
    SCOPED_TRACE(range.offset);
    EXPECT_EQ(file.io_read(out, range.size, range.offset) != nullptr, range.inside);
  }
  EXPECT_STREQ(out, "hijk");

  ASSERT_TRUE(file.read(out, 8));
  EXPECT_EQ(std::string(out, 8), "abcdefgh");
  EXPECT_FALSE(file.read(out, 8));
  EXPECT_EQ(file.position(), 8u);
  ASSERT_TRUE(file.read(out, 4));
  EXPECT_EQ(file.position(), 12u);
  // Past the end is the file's null request, not a cache message.
  EXPECT_TRUE(log.lines.empty());

  // Writes are refused and the bytes kept.
  EXPECT_EQ(file.io_write("XY", 2, 0), nullptr);
  EXPECT_EQ(file.io_write("XY", 0, 0), nullptr);
  EXPECT_FALSE(file.write("XY", 2));
  EXPECT_STREQ(bytes, "abcdefghijk");
}

TEST(mem_file, writable_file_spans_pages_and_reads_holes_as_zeros) {
  mem_file_t file;
  const std::string content = pattern_bytes(3000);
  ASSERT_TRUE(file.write(content.data(), 100));
  // A write across three pages, leaving pages 1 to 3 of the directory partly or wholly empty.
  ASSERT_NE(file.io_write(content.data(), 3000, 5000), nullptr);
  EXPECT_EQ(file.get_size(), 8000u);

  std::string out(8000, '\x55');
  ASSERT_TRUE(file.read_at(out.data(), 8000, 0));
  EXPECT_EQ(out, content.substr(0, 100) + std::string(4900, '\0') + content);
  EXPECT_EQ(file.io_read(out.data(), 1, 8000), nullptr);

  // Overwriting inside a page keeps its neighbours.
  ASSERT_NE(file.io_write("ZZ", 2, 1023), nullptr);
  char around[4];
  ASSERT_TRUE(file.read_at(around, 4, 1022));
  EXPECT_EQ(std::string(around, 4), std::string("\0ZZ\0", 4));
  EXPECT_EQ(file.get_size(), 8000u);
}

TEST(mem_file, writable_file_stays_below_4_gib) {
  mem_file_t file;
  EXPECT_EQ(file.io_write("ab", 2, 0xFFFFFFFFull), nullptr);
  EXPECT_NE(file.io_write("ab", 2, 0xFFFFFFFDull), nullptr);
  EXPECT_EQ(file.get_size(), 0xFFFFFFFFull);
  char out[2];
  ASSERT_TRUE(file.read_at(out, 2, 0xFFFFFFFDull));
  EXPECT_EQ(std::string(out, 2), "ab");
}

} // namespace
} // namespace orvo::testing
