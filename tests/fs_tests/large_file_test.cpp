// A sparse file past 4 GiB: sizes, offsets and ranges that cross 2^31 or 2^32 stay exact.
#include "fs_test_support.h"
#include "ovcore/crypto/digest_calculator.h"
#include "ovcore/crypto/hash_stream.h"

#include <cstring>

namespace orvo::testing {
namespace {

constexpr u64 gib = 1ull << 30;
constexpr u64 large_size = 4 * gib + 3 * fs_read_cache_size + 17;

struct marker_t {
  u64 offset;
  const char* text;
};

// Each straddles a limit that a 32-bit size, offset or signed offset would cut.
constexpr marker_t markers[] = {
    {2 * gib - 5, "across-2-GiB"},
    {4 * gib - 7, "across-4-GiB"},
    {4 * gib + fs_read_cache_size - 3, "across-a-cache-block"},
    {large_size - 4, "end!"},
};

// The file's bytes in [start, start + length): zeros and the markers.
std::string expected_range(u64 start, u64 length) {
  std::string bytes(length, '\0');
  for (const marker_t& marker : markers) {
    const u64 size = std::strlen(marker.text);
    for (u64 i = 0; i < size; ++i) {
      const u64 at = marker.offset + i;
      if (at >= start && at < start + length) bytes[at - start] = marker.text[i];
    }
  }
  return bytes;
}

class large_file_test : public fs_test_t {
protected:
  void SetUp() override {
    fs_test_t::SetUp();
    auto_ptr_t<file_t> file = open_file_create(path("large.bin").c_str());
    ASSERT_TRUE(file);
    for (const marker_t& marker : markers) {
      file->set_position(marker.offset);
      ASSERT_TRUE(file->write(marker.text, static_cast<u32>(std::strlen(marker.text)))) << marker.text;
    }
  }
};

TEST_F(large_file_test, size_reads_and_positions_past_4_gib) {
  auto_ptr_t<file_t> file = open_file_read(path("large.bin").c_str());
  ASSERT_TRUE(file);
  EXPECT_EQ(file->get_size(), large_size);
  file_info_t info;
  ASSERT_TRUE(file->stat(&info));
  EXPECT_EQ(info.size, large_size);

  for (const marker_t& marker : markers) {
    SCOPED_TRACE(marker.text);
    const u64 start = marker.offset - 2;
    const u32 length = static_cast<u32>(std::strlen(marker.text)) + 2;
    std::string direct(length, 'x');
    ASSERT_TRUE(file->read_at(direct.data(), length, start));
    EXPECT_EQ(direct, expected_range(start, length));
    // Sequential reads through the read cache, from a position past the limit.
    std::string cached(length, 'x');
    file->set_position(start);
    ASSERT_TRUE(file->read(cached.data(), length));
    EXPECT_EQ(cached, direct);
    EXPECT_EQ(file->position(), start + length);
  }
  char byte = 0;
  file->set_position(large_size);
  EXPECT_FALSE(file->read(&byte, 1));
  EXPECT_FALSE(file->read_at(&byte, 1, large_size + 4 * gib));
}

TEST_F(large_file_test, ranges_around_the_limits_hash_like_their_bytes) {
  auto_ptr_t<file_t> file = open_file_read(path("large.bin").c_str());
  ASSERT_TRUE(file);
  struct range_t {
    u64 start;
    u64 length;
  };
  const range_t ranges[] = {
      {2 * gib - hash_stream_buffer_size, 2 * hash_stream_buffer_size},
      {4 * gib - 100, 200},
      {4 * gib - hash_stream_buffer_size - 1, hash_stream_buffer_size + 2},
      {4 * gib, large_size - 4 * gib},
  };
  auto_ptr_t<digest_calculator_t> sha = create_sha256_digest_calculator();
  for (const range_t& range : ranges) {
    SCOPED_TRACE(range.start);
    hash_sink_of_t<digest_calculator_t> sink(*sha);
    ASSERT_EQ(stream_hash_range(*file, sink, range.start, range.length, nullptr, nullptr), hash_stream_done);
    u8 streamed[32];
    sha->finalize(streamed);
    const std::string bytes = expected_range(range.start, range.length);
    sha->update(bytes.data(), static_cast<u32>(bytes.size()));
    u8 expected[32];
    sha->finalize(expected);
    EXPECT_EQ(0, std::memcmp(streamed, expected, sizeof expected));
  }
  hash_sink_of_t<digest_calculator_t> sink(*sha);
  EXPECT_EQ(stream_hash_range(*file, sink, large_size - 10, 11, nullptr, nullptr), hash_stream_read_failed);
}

} // namespace
} // namespace orvo::testing
