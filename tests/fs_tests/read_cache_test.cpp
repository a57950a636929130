// The sequential read cache of file_t, observed through a file that records its reads.
#include "fs_test_support.h"

#include <cstring>
#include <vector>

namespace orvo::testing {
namespace {

struct recorded_read_t {
  u64 offset;
  u32 size;
  bool operator==(const recorded_read_t&) const = default;
};
using reads_t = std::vector<recorded_read_t>;

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

  reads_t reads;
  bool fail_reads = false;
  bool fail_stat = false;

private:
  std::string content_;
};

const char* const too_big = "[fs] cached read - read request too big (recorded.bin)";

TEST(read_cache, reads_go_through_an_8_kib_window_or_straight_to_the_file) {
  struct step_t {
    u32 size;
    bool ok;
  };
  struct cache_case_t {
    const char* name;
    u32 file_size;
    u64 start;
    std::vector<step_t> steps;
    reads_t reads;
  };
  const cache_case_t cases[] = {
      {"refill near the end takes what is left, then serves the rest", 9000, 8190, {{10, true}, {800, true}},
       {{8190, 810}}},
      {"read across the window copies then refills", 20000, 0, {{8150, true}, {100, true}}, {{0, 8192}, {8192, 8192}}},
      {"read larger than the cache is direct", 30000, 0, {{20000, true}}, {{0, 20000}}},
      // 8092 bytes from the window, 1908 refill it; then 6284 from the window and 11716 directly.
      {"cached part then the remainder", 40000, 0, {{100, true}, {10000, true}, {18000, true}},
       {{0, 8192}, {8192, 8192}, {16384, 11716}}},
      {"past the end fails; the bytes that exist stay readable", 150, 100, {{100, false}, {50, true}}, {{100, 50}}},
      {"at or beyond the end reads nothing", 10, 25, {{1, false}}, {}},
  };
  for (const cache_case_t& c : cases) {
    SCOPED_TRACE(c.name);
    log_capture_t log;
    const std::string content = pattern_bytes(c.file_size);
    recording_file_t file(content);
    file.set_position(c.start);
    bool failed = false;
    for (const step_t& step : c.steps) {
      const u64 at = file.position();
      std::string out(step.size, '\0');
      ASSERT_EQ(file.read(out.data(), step.size), step.ok) << at;
      failed |= !step.ok;
      if (step.ok) {
        EXPECT_EQ(out, content.substr(at, step.size)) << at;
      }
      EXPECT_EQ(file.position(), at + (step.ok ? step.size : 0));
    }
    EXPECT_EQ(file.reads, c.reads);
    EXPECT_EQ(log.contains(too_big, message_level_error), failed);
  }
}

TEST(read_cache, sequential_reads_of_odd_sizes_return_the_file) {
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

TEST(read_cache, failed_refill_is_reported_and_leaves_no_stale_window) {
  log_capture_t log;
  const std::string content = pattern_bytes(1000);
  recording_file_t file(content);
  file.fail_reads = true;
  char out[10];
  EXPECT_FALSE(file.read(out, sizeof(out)));
  EXPECT_TRUE(log.contains("[fs] cached read - buffer update failed (recorded.bin)", message_level_error));

  file.fail_reads = false;
  ASSERT_TRUE(file.read(out, sizeof(out)));
  EXPECT_EQ(std::string(out, 10), content.substr(0, 10));
}

TEST(read_cache, zero_sizes_succeed_null_buffers_fail_and_writes_discard_the_window) {
  recording_file_t file("");
  char out[20];
  EXPECT_TRUE(file.read(out, 0));
  EXPECT_FALSE(file.read(nullptr, 1));
  EXPECT_FALSE(file.read_at(nullptr, 1, 0));
  EXPECT_TRUE(file.write(out, 0));
  EXPECT_FALSE(file.write(nullptr, 1));
  EXPECT_TRUE(file.reads.empty());
  EXPECT_EQ(file.position(), 0u);

  ASSERT_TRUE(file.file_printf("%s=%I64u;", "size", static_cast<u64>(1) << 40));
  ASSERT_TRUE(file.file_printf("%s", ""));
  EXPECT_EQ(file.position(), 19u);
  EXPECT_EQ(file.get_size(), 19u);
  file.set_position(0);
  ASSERT_TRUE(file.read(out, 10));
  ASSERT_TRUE(file.write("BBBB", 4));
  EXPECT_EQ(file.position(), 14u);
  file.set_position(0);
  ASSERT_TRUE(file.read(out, 19));
  EXPECT_EQ(std::string(out, 19), "size=10995BBBB7776;");
  EXPECT_EQ(file.reads.size(), 2u);
}

TEST(read_cache_death, size_of_a_file_that_cannot_be_stated_is_a_failed_check) {
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
