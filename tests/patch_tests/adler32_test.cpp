// Adler-32 of the decoder, each vector kind included, against its definition.
#include "patch/adler32.h"
#include "patch/adler32_vector.h"
#include "vcdiff_builder.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvo::patch::test {
namespace {

std::vector<u8> noise(size_t size) {
  std::vector<u8> bytes(size);
  u32 state = 0x12345678;
  for (u8& byte : bytes) {
    state = state * 1103515245 + 12345;
    byte = static_cast<u8>(state >> 23);
  }
  return bytes;
}

u32 with_kind(const adler32_vector_kind_t& kind, u32 adler, const u8* data, size_t size) {
  u32 a = adler & 0xFFFF, b = adler >> 16;
  const u64 done = kind.add(a, b, data, size);
  EXPECT_LE(done, size);
  EXPECT_LT(size - done, 32u) << kind.name << " left whole vectors undone";
  return reference_adler32((b << 16) | a, data + done, size - done);
}

TEST(adler32, known_value_and_every_length_and_alignment) {
  const char* text = "Wikipedia";
  EXPECT_EQ(adler32_update(adler32_initial, reinterpret_cast<const u8*>(text), 9), 0x11E60398u);
  EXPECT_EQ(adler32_update(adler32_initial, nullptr, 0), 1u);
  const std::vector<u8> bytes = noise(400);
  for (size_t start = 0; start < 4; ++start)
    for (size_t size = 0; start + size <= 300; ++size)
      ASSERT_EQ(adler32_update(0x2F5B0711, bytes.data() + start, size),
                reference_adler32(0x2F5B0711, bytes.data() + start, size))
          << start << " " << size;
}

// All-0xFF bytes from the largest start values drive every sum to its bound.
TEST(adler32, largest_sums_and_pieces_give_the_value_of_the_whole) {
  const std::vector<u8> full(3 << 20, 0xFF);
  const u32 start = (65520u << 16) | 65520u;
  const u32 whole = reference_adler32(start, full.data(), full.size());
  EXPECT_EQ(adler32_update(start, full.data(), full.size()), whole);
  u32 pieces = start;
  for (size_t at = 0, piece = 1; at < full.size(); at += piece, piece = piece * 3 + 1)
    pieces = adler32_update(pieces, full.data() + at, std::min(piece, full.size() - at));
  EXPECT_EQ(pieces, whole);
  const std::vector<u8> bytes = noise(1 << 20);
  EXPECT_EQ(adler32_update(adler32_initial, bytes.data(), bytes.size()),
            reference_adler32(adler32_initial, bytes.data(), bytes.size()));
}

TEST(adler32, each_vector_kind_the_processor_has_matches_the_definition) {
  const std::vector<u8> bytes = noise(20001);
  const std::vector<u8> full(20000, 0xFF);
  const u32 mixed_start = (40000u << 16) | 50000u;
  int checked = 0;
  for (const adler32_vector_kind_t* kind = adler32_vector_kinds(); kind->name; ++kind) {
    if (!kind->available()) continue;
    ++checked;
    for (size_t size : {0, 15, 16, 31, 32, 33, 4095, 4096, 4097, 8191, 20000}) {
      EXPECT_EQ(with_kind(*kind, mixed_start, bytes.data() + 1, size),
                reference_adler32(mixed_start, bytes.data() + 1, size))
          << kind->name << " " << size;
      EXPECT_EQ(with_kind(*kind, (65520u << 16) | 65520u, full.data(), size),
                reference_adler32((65520u << 16) | 65520u, full.data(), size))
          << kind->name << " " << size;
    }
  }
  if (checked == 0) GTEST_SKIP() << "no vector instructions on this processor";
}

} // namespace
} // namespace orvo::patch::test
