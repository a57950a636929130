// The sequential read cache of file_t, observed through a file that records its reads.
#include "fs_test_support.h"

#include <cstring>

namespace orvo::testing {
namespace {

struct recorded_read_t {
  u64 offset;
  u32 size;
  bool operator==(const recorded_read_t&) const = default;
};

class recording_file_t final : public file_t {
public:
  explicit recording_file_t(std::string content) : file_t("recorded.bin"), content_(std::move(content)) {}
  bool uses_read_cache() const override { return true; }
  fs_io_request_t* io_read(void* buffer, u32 size, u64 offset) override {
    reads.push_back({offset, size});
    if (fail_reads || offset + size > content_.size()) return nullptr;
    std::memcpy(buffer, content_.data() + offset, size);
    return fs_complete_request();
  }
  fs_io_request_t* io_write(const void* data, u32 size, u64 offset) override {
    if (content_.size() < offset + size) content_.resize(offset + size);
    content_.replace(offset, size, static_cast<const char*>(data), size);
    return fs_complete_request();
  }
  bool is_done(fs_io_request_t*) override { return true; }
  bool wait(fs_io_request_t*) override { return true; }
  void release(fs_io_request_t*) override {}
  bool stat(file_info_t* info) override {
    if (fail_stat) return false;
    if (info) info->size = content_.size();
    return true;
  }

  std::vector<recorded_read_t> reads;
  bool fail_reads = false;
  bool fail_stat = false;

private:
  std::string content_;
};

class read_cache_test : public ::testing::Test {
protected:
  void SetUp() override {
    create_message_dispatcher();
    message_dispatcher()->register_handler(&log_);
  }
  void TearDown() override {
    message_dispatcher()->unregister_handler(&log_);
    destroy_message_dispatcher();
  }
  recording_handler_t log_;
};

TEST_F(read_cache_test, refill_near_the_end_takes_what_is_left) {
  const std::string content = pattern_bytes(9000);
  recording_file_t file(content);
  file.set_position(8190);
  char out[10];
  ASSERT_TRUE(file.read(out, sizeof(out)));
  EXPECT_EQ(std::string(out, 10), content.substr(8190, 10));
  EXPECT_EQ(file.reads, (std::vector<recorded_read_t>{{8190, 810}}));
  EXPECT_EQ(file.position(), 8200u);

  // The rest of the window is served without reading.
  char rest[800];
  ASSERT_TRUE(file.read(rest, sizeof(rest)));
  EXPECT_EQ(std::string(rest, 800), content.substr(8200, 800));
  EXPECT_EQ(file.reads.size(), 1u);
}

TEST_F(read_cache_test, read_across_the_window_copies_then_refills) {
  const std::string content = pattern_bytes(20000);
  recording_file_t file(content);
  char first[8150];
  ASSERT_TRUE(file.read(first, sizeof(first)));
  char across[100];
  ASSERT_TRUE(file.read(across, sizeof(across)));
  EXPECT_EQ(std::string(across, 100), content.substr(8150, 100));
  EXPECT_EQ(file.reads, (std::vector<recorded_read_t>{{0, 8192}, {8192, 8192}}));
  EXPECT_EQ(file.position(), 8250u);
}

TEST_F(read_cache_test, sequential_reads_of_odd_sizes_return_the_file) {
  const std::string content = pattern_bytes(70001);
  recording_file_t file(content);
  std::string collected;
  const u32 sizes[] = {1, 7, 8191, 3, 9000, 13, 4096, 20000, 511};
  for (u32 i = 0; collected.size() < content.size(); ++i) {
    const u32 size = std::min<u32>(sizes[i % 9], static_cast<u32>(content.size() - collected.size()));
    std::string chunk(size, '\0');
    ASSERT_TRUE(file.read(chunk.data(), size)) << collected.size();
    collected += chunk;
  }
  EXPECT_EQ(collected, content);
  char extra;
  EXPECT_FALSE(file.read(&extra, 1));
}

TEST_F(read_cache_test, read_larger_than_the_cache_goes_straight_to_the_file) {
  const std::string content = pattern_bytes(30000);
  recording_file_t file(content);
  std::string out(20000, '\0');
  ASSERT_TRUE(file.read(out.data(), 20000));
  EXPECT_EQ(out, content.substr(0, 20000));
  EXPECT_EQ(file.reads, (std::vector<recorded_read_t>{{0, 20000}}));
  EXPECT_EQ(file.position(), 20000u);
}

TEST_F(read_cache_test, cached_part_then_the_remainder) {
  const std::string content = pattern_bytes(40000);
  recording_file_t file(content);
  char head[100];
  ASSERT_TRUE(file.read(head, sizeof(head)));

  // 8092 bytes come from the window; the remaining 1908 fit the cache and refill it.
  std::string out(10000, '\0');
  ASSERT_TRUE(file.read(out.data(), 10000));
  EXPECT_EQ(out, content.substr(100, 10000));
  EXPECT_EQ(file.reads, (std::vector<recorded_read_t>{{0, 8192}, {8192, 8192}}));

  // 6284 bytes come from the window; the remaining 11716 are read directly.
  std::string big(18000, '\0');
  ASSERT_TRUE(file.read(big.data(), 18000));
  EXPECT_EQ(big, content.substr(10100, 18000));
  EXPECT_EQ(file.reads.back(), (recorded_read_t{16384, 11716}));
  EXPECT_EQ(file.position(), 28100u);
}

TEST_F(read_cache_test, read_past_the_end_fails_with_its_message) {
  recording_file_t file(pattern_bytes(150));
  file.set_position(100);
  char out[100];
  EXPECT_FALSE(file.read(out, sizeof(out)));
  EXPECT_TRUE(log_.has("[fs] cached read - read request too big (recorded.bin)"));
  EXPECT_EQ(file.reads, (std::vector<recorded_read_t>{{100, 50}}));

  // The 50 bytes that exist stay readable.
  ASSERT_TRUE(file.read(out, 50));
  EXPECT_EQ(file.position(), 150u);
}

TEST_F(read_cache_test, read_at_or_beyond_the_end_reads_nothing) {
  recording_file_t file(pattern_bytes(10));
  file.set_position(25);
  char byte;
  EXPECT_FALSE(file.read(&byte, 1));
  EXPECT_TRUE(file.reads.empty());
  EXPECT_TRUE(log_.has("[fs] cached read - read request too big (recorded.bin)"));
}

TEST_F(read_cache_test, failed_refill_is_reported_and_leaves_no_stale_window) {
  const std::string content = pattern_bytes(1000);
  recording_file_t file(content);
  file.fail_reads = true;
  char out[10];
  EXPECT_FALSE(file.read(out, sizeof(out)));
  EXPECT_TRUE(log_.has("[fs] cached read - buffer update failed (recorded.bin)"));

  file.fail_reads = false;
  ASSERT_TRUE(file.read(out, sizeof(out)));
  EXPECT_EQ(std::string(out, 10), content.substr(0, 10));
}

TEST_F(read_cache_test, zero_size_and_null_buffer) {
  recording_file_t file(pattern_bytes(10));
  char byte;
  EXPECT_TRUE(file.read(&byte, 0));
  EXPECT_FALSE(file.read(nullptr, 1));
  EXPECT_FALSE(file.read_at(nullptr, 1, 0));
  EXPECT_TRUE(file.write(&byte, 0));
  EXPECT_FALSE(file.write(nullptr, 1));
  EXPECT_TRUE(file.reads.empty());
  EXPECT_EQ(file.position(), 0u);
}

TEST_F(read_cache_test, sequential_write_discards_the_window) {
  recording_file_t file(std::string(100, 'a'));
  char out[10];
  ASSERT_TRUE(file.read(out, 10));
  ASSERT_TRUE(file.write("BBBB", 4));
  EXPECT_EQ(file.position(), 14u);
  file.set_position(10);
  ASSERT_TRUE(file.read(out, 6));
  EXPECT_EQ(std::string(out, 6), "BBBBaa");
  EXPECT_EQ(file.reads.size(), 2u);
}

TEST_F(read_cache_test, file_printf_writes_the_text_at_the_position) {
  recording_file_t file("");
  ASSERT_TRUE(file.file_printf("%s=%I64u;", "size", static_cast<u64>(1) << 40));
  ASSERT_TRUE(file.file_printf("%s", ""));
  EXPECT_EQ(file.position(), 19u);
  EXPECT_EQ(file.get_size(), 19u);
  char out[19];
  file.set_position(0);
  ASSERT_TRUE(file.read(out, 19));
  EXPECT_EQ(std::string(out, 19), "size=1099511627776;");
}

using read_cache_death_test = read_cache_test;

TEST_F(read_cache_death_test, size_of_a_file_that_cannot_be_stated_is_a_failed_check) {
  EXPECT_DEATH(
      {
        print_messages_to_stderr();
        recording_file_t file("x");
        file.fail_stat = true;
        file.get_size();
      },
      "\\[fs\\] failed to stat opened file \\(recorded.bin\\)!\n.*ufs/fs_file\\(367\\): .*: Failed to stat opened file!");
}

} // namespace
} // namespace orvo::testing
