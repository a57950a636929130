// The chunk walk behind inspect and verify, on hand-made chunk sequences.
#include "publisher_test_support.h"

#include "tools/publisher/container_scanner.h"

#include <cstring>
#include <sstream>

namespace orvo::publisher::testing {
namespace {

class chunk_builder_t {
public:
  chunk_builder_t() : bytes_(668, 0) {}

  chunk_builder_t& chunk(const char* tag, const bytes_t& body, u32 version = 2, u64 size_delta = 0) {
    append_u64(16 + body.size() + size_delta);
    bytes_.insert(bytes_.end(), tag, tag + 4);
    append_u32(version);
    bytes_.insert(bytes_.end(), body.begin(), body.end());
    return *this;
  }
  chunk_builder_t& raw(const bytes_t& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  const bytes_t& bytes() const { return bytes_; }

private:
  void append_u64(u64 value) {
    for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<u8>(value >> (8 * i)));
  }
  void append_u32(u32 value) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<u8>(value >> (8 * i)));
  }
  bytes_t bytes_;
};

bytes_t layout_body(const std::vector<std::pair<std::string, std::string>>& entries, size_t extra = 0) {
  bytes_t body(112, 0);
  std::memcpy(body.data(), "kora", 4);
  for (const auto& [root, path] : entries) {
    bytes_t entry(164, 0);
    std::memcpy(entry.data(), root.data(), 4);
    std::memcpy(entry.data() + 4, path.data(), std::min<size_t>(path.size(), 128));
    body.insert(body.end(), entry.begin(), entry.end());
  }
  body.resize(body.size() + extra, 0);
  return body;
}

bytes_t diff_body(u8 id, size_t data_size, bool keyed = false) {
  bytes_t body(40 + data_size, 0);
  body[0] = id;
  body[32] = keyed ? 1 : 0;
  return body;
}

bytes_t meta_body(u8 id, u64 data_size) {
  bytes_t body(40, 0);
  body[0] = id;
  for (int i = 0; i < 8; ++i) body[32 + i] = static_cast<u8>(data_size >> (8 * i));
  return body;
}

class counting_visitor_t : public container_scan_visitor_t {
public:
  void on_chunk(const chunk_info_t&) override { ++chunks; }
  void on_layout(const scanned_layout_t& layout) override { entries += layout.entries.size(); }
  void on_diff(const scanned_diff_t&) override { ++diffs; }
  u32 chunks = 0;
  size_t entries = 0;
  u32 diffs = 0;
};

container_open_result_t scan(const bytes_t& bytes, counting_visitor_t* visitor = nullptr) {
  std::istringstream stream(std::string(bytes.begin(), bytes.end()));
  return scan_chunks(stream, bytes.size(), visitor);
}

TEST(container_scanner, valid_sequences_open) {
  EXPECT_EQ(scan(chunk_builder_t().bytes()), open_ok);

  counting_visitor_t visitor;
  const bytes_t bytes = chunk_builder_t()
                            .chunk("ABCD", bytes_t(5, 7))
                            .chunk("LAYO", bytes_t(3, 0), 3)
                            .chunk("KEYS", {})
                            .chunk("LAYO", layout_body({{"APPL", "bin/a.exe"}, {"APPL", "b"}}))
                            .chunk("META", meta_body(9, 16))
                            .chunk("DIFF", diff_body(9, 16))
                            .bytes();
  EXPECT_EQ(scan(bytes, &visitor), open_ok);
  EXPECT_EQ(visitor.chunks, 6u);
  EXPECT_EQ(visitor.entries, 2u);
  EXPECT_EQ(visitor.diffs, 2u);
}

TEST(container_scanner, broken_chunk_sequence_ends_the_walk) {
  EXPECT_EQ(scan(chunk_builder_t().chunk("KEYS", {}, 2, 1).bytes()), open_corrupted);
  EXPECT_EQ(scan(chunk_builder_t().raw(bytes_t(10, 0)).bytes()), open_io_error);
  // A size below the chunk header would never advance.
  bytes_t tiny = chunk_builder_t().raw(bytes_t(16, 0)).bytes();
  tiny[668] = 8;
  EXPECT_EQ(scan(tiny), open_corrupted);
  // Size field near 2^64 must not wrap around.
  bytes_t huge = chunk_builder_t().chunk("KEYS", {}).bytes();
  std::fill(huge.begin() + 668, huge.begin() + 676, 0xFF);
  EXPECT_EQ(scan(huge), open_corrupted);
  EXPECT_EQ(scan(chunk_builder_t().chunk("DIFF", bytes_t(39, 0)).bytes()), open_corrupted);
}

TEST(container_scanner, layout_entries_the_updater_refuses) {
  for (const auto& entry : std::vector<std::pair<std::string, std::string>>{
           {"APPX", "a"}, {"APPL", "/a"}, {"APPL", "a\\b"}, {"APPL", std::string(128, 'x')}}) {
    EXPECT_EQ(scan(chunk_builder_t().chunk("LAYO", layout_body({entry})).bytes()), open_corrupted) << entry.second;
  }
  EXPECT_EQ(scan(chunk_builder_t().chunk("LAYO", layout_body({}, 165)).bytes()), open_corrupted);
  bytes_t unterminated = layout_body({});
  std::fill(unterminated.begin(), unterminated.begin() + 64, 'n');
  EXPECT_EQ(scan(chunk_builder_t().chunk("LAYO", unterminated).bytes()), open_corrupted);
}

TEST(container_scanner, layout_entry_limit) {
  std::vector<std::pair<std::string, std::string>> entries(10000, {"APPL", "f"});
  EXPECT_EQ(scan(chunk_builder_t().chunk("LAYO", layout_body(entries)).bytes()), open_ok);
  entries.emplace_back("APPL", "f");
  EXPECT_EQ(scan(chunk_builder_t().chunk("LAYO", layout_body(entries)).bytes()), open_corrupted);
}

TEST(container_scanner, diff_declarations_must_agree) {
  EXPECT_EQ(scan(chunk_builder_t().chunk("DIFF", diff_body(1, 16)).chunk("DIFF", diff_body(1, 16)).bytes()),
            open_corrupted);
  EXPECT_EQ(scan(chunk_builder_t().chunk("DIFF", diff_body(1, 20)).chunk("META", meta_body(1, 20)).bytes()), open_ok);
  EXPECT_EQ(scan(chunk_builder_t().chunk("META", meta_body(1, 21)).chunk("DIFF", diff_body(1, 20)).bytes()),
            open_corrupted);
  EXPECT_EQ(scan(chunk_builder_t().chunk("DIFF", diff_body(1, 15)).bytes()), open_corrupted);
  EXPECT_EQ(scan(chunk_builder_t().chunk("DIFF", diff_body(1, 63, true)).bytes()), open_corrupted);
  EXPECT_EQ(scan(chunk_builder_t().chunk("DIFF", diff_body(1, 64, true)).bytes()), open_ok);
  bytes_t meta = meta_body(2, 64);
  meta.resize(40 + 31);
  EXPECT_EQ(scan(chunk_builder_t().chunk("META", meta).bytes()), open_corrupted);
}

TEST(container_scanner, repeated_content_key_is_corrupted) {
  const bytes_t key = random_bytes(32, 9);
  bytes_t two = key;
  two.insert(two.end(), key.begin(), key.end());
  EXPECT_EQ(scan(chunk_builder_t().chunk("KEYS", two).bytes()), open_corrupted);
  EXPECT_EQ(scan(chunk_builder_t().chunk("KEYS", key).chunk("KEYS", key).bytes()), open_corrupted);
  EXPECT_EQ(scan(chunk_builder_t().chunk("KEYS", bytes_t(33, 0)).bytes()), open_corrupted);
}

TEST(container_scanner, mangled_input_never_breaks_the_walk) {
  const bytes_t valid = chunk_builder_t()
                            .chunk("LAYO", layout_body({{"APPL", "a"}, {"APPL", "b/c"}}))
                            .chunk("KEYS", random_bytes(64, 1))
                            .chunk("DIFF", diff_body(3, 100, true))
                            .chunk("META", meta_body(4, 80))
                            .chunk("FPAT", bytes_t(64 + 96, 5))
                            .bytes();
  ASSERT_EQ(scan(valid), open_ok);
  const bytes_t noise = random_bytes(4000, 11);
  for (size_t round = 0; round < 400; ++round) {
    bytes_t mangled = valid;
    for (size_t i = 0; i < 1 + round % 4; ++i) {
      const size_t at = 668 + noise[(round * 7 + i) % noise.size()] * 997 % (valid.size() - 668);
      mangled[at] = noise[(round * 13 + i * 5) % noise.size()];
    }
    if (round % 5 == 0) mangled.resize(668 + (round * 31) % (valid.size() - 668));
    const container_open_result_t result = scan(mangled);
    EXPECT_TRUE(result == open_ok || result == open_corrupted || result == open_io_error) << result;
  }
}

} // namespace
} // namespace orvo::publisher::testing
