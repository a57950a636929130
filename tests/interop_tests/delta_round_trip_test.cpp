// Deltas from the publisher's encoder, decoded by the updater's decoder driver.
#include "interop_support.h"

#include "patch/decode_delta.h"
#include "tools/publisher/delta_outline.h"
#include "tools/vcdiff_encoder/vcdiff_encoder.h"

#include <algorithm>

namespace orvo::interop {
namespace {

constexpr size_t mib = 1u << 20;

bytes_t encode(const bytes_t* source, const bytes_t& target, bool container_form, u32 window_size = 16u << 20) {
  vcdiff::memory_reader_t source_reader(source ? source->data() : nullptr, source ? source->size() : 0);
  vcdiff::memory_reader_t target_reader(target.data(), target.size());
  vcdiff::memory_writer_t output;
  vcdiff::encode_options_t options;
  options.container_form = container_form;
  options.lzma_preset = 1;
  options.window_size = window_size;
  EXPECT_EQ(vcdiff::encode(source ? &source_reader : nullptr, target_reader, output, options),
            vcdiff::encode_result_t::ok);
  return output.bytes();
}

struct decoded_t {
  patch::decode_delta_result_t result;
  bytes_t output;
};

// The delta sits between other bytes of a container, as in an XDLT block.
decoded_t decode(const bytes_t& delta, const bytes_t* source) {
  bytes_t container(100 + delta.size() + 7, 0xEE);
  std::copy(delta.begin(), delta.end(), container.begin() + 100);
  vector_file_t container_file("container.ktlc", std::move(container));
  vector_file_t source_file("old.bin", source ? *source : bytes_t());
  vector_file_t output("new.bin");
  const patch::decode_delta_result_t result = patch::decode_delta(
      container_file, 100, delta.size(), source ? &source_file : nullptr, output, nullptr, nullptr, 0);
  return {result, output.bytes()};
}

// Reads one VCDIFF integer at `position`.
u64 read_integer(const bytes_t& bytes, size_t& position) {
  u64 value = 0;
  u8 byte;
  do {
    byte = bytes.at(position++);
    value = value << 7 | (byte & 0x7F);
  } while (byte & 0x80);
  return value;
}

// Offset of the first window's checksum in a container-form delta.
size_t first_checksum_offset(const bytes_t& delta) {
  size_t position = 4;
  const u8 header_indicator = delta.at(position++);
  if (header_indicator & 0x01) ++position;
  const u8 window_indicator = delta.at(position++);
  EXPECT_TRUE(window_indicator & 0x04) << "container-form windows carry a checksum";
  if (window_indicator & 0x03) {
    read_integer(delta, position);
    read_integer(delta, position);
  }
  read_integer(delta, position);  // length of the delta encoding
  read_integer(delta, position);  // target window length
  ++position;                     // delta indicator
  for (int section = 0; section < 3; ++section) read_integer(delta, position);
  return position;
}

bytes_t concat(std::initializer_list<bytes_t> parts) {
  bytes_t out;
  for (const bytes_t& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

bytes_t slice(const bytes_t& bytes, size_t offset, size_t length) {
  return bytes_t(bytes.begin() + offset, bytes.begin() + offset + length);
}

// Encodes, decodes and compares; returns the delta.
bytes_t round_trip(const bytes_t* source, const bytes_t& target, bool container_form, const char* what) {
  const bytes_t delta = encode(source, target, container_form);
  const decoded_t decoded = decode(delta, source);
  EXPECT_EQ(decoded.result, patch::decode_delta_ok) << what;
  EXPECT_TRUE(decoded.output == target) << what << ": " << decoded.output.size() << " bytes decoded, "
                                        << target.size() << " expected";
  return delta;
}

class delta_round_trip_test : public interop_test_t, public ::testing::WithParamInterface<bool> {
protected:
  bytes_t round_trip(const bytes_t* source, const bytes_t& target, const char* what) {
    return interop::round_trip(source, target, GetParam(), what);
  }
};

TEST_P(delta_round_trip_test, empty_and_tiny_files) {
  const bytes_t empty;
  const bytes_t one = {0x42};
  const bytes_t three = {1, 2, 3};
  round_trip(nullptr, empty, "empty target, no source");
  round_trip(&three, empty, "empty target");
  round_trip(&empty, three, "empty source");
  round_trip(nullptr, one, "one byte, no source");
  round_trip(&one, one, "one byte, same source");
  round_trip(&three, one, "one byte from three");
  round_trip(&one, three, "three bytes from one");
}

TEST_P(delta_round_trip_test, edited_regions_and_runs) {
  const bytes_t source = random_bytes(mib, 11);
  round_trip(&source, concat({slice(source, 0, 300000), random_bytes(777, 12), slice(source, 300000, mib - 300000)}),
             "inserted region");
  round_trip(&source, concat({slice(source, 0, 200000), slice(source, 450000, mib - 450000)}), "deleted region");
  round_trip(&source,
             concat({slice(source, 600000, 100000), slice(source, 0, 600000), slice(source, 700000, mib - 700000)}),
             "moved region");
  const bytes_t runs = concat({bytes_t(300000, 0), slice(source, 5, 1000), bytes_t(70000, 0xAB), bytes_t(3, 0xAB)});
  const bytes_t run_delta = round_trip(&source, runs, "runs");
  EXPECT_LT(run_delta.size(), 2000u) << "runs and copies stay small";
  const bytes_t repeated = concat({slice(source, 0, 4096), slice(source, 0, 4096), slice(source, 0, 4096)});
  round_trip(nullptr, repeated, "copies from the target itself");
  round_trip(nullptr, random_bytes(300000, 13), "random data, no source");
  round_trip(&source, random_bytes(300000, 14), "random data, unrelated source");
}

TEST_P(delta_round_trip_test, source_blocks_and_target_windows) {
  // The decoder reads the source in 8 MiB blocks and takes target windows of up to 16 MiB.
  const bytes_t source = random_bytes(8 * mib + 4096, 21);
  bytes_t target = concat({slice(source, 8 * mib - 2000, 6096), slice(source, 0, 8 * mib - 2000), bytes_t(2, 7)});
  target.resize(16 * mib + 1000, 0x5A);
  std::copy(source.begin() + 100, source.begin() + 1100, target.end() - 1000);
  round_trip(&source, target, "across 8 MiB blocks and 16 MiB windows");
}

TEST_P(delta_round_trip_test, delta_that_copies_from_a_missing_source_is_rejected) {
  const bytes_t source = random_bytes(100000, 41);
  const bytes_t delta = encode(&source, slice(source, 1000, 50000), GetParam());
  EXPECT_EQ(decode(delta, nullptr).result, patch::decode_delta_corrupted);
  const bytes_t shorter = slice(source, 0, 40000);
  EXPECT_EQ(decode(delta, &shorter).result, patch::decode_delta_corrupted) << "copies past the source's end";
  EXPECT_TRUE(logged("Unknown error"));
}

// The sizes that cost most are checked in the updater's form only.
class large_delta_test : public interop_test_t {};

TEST_F(large_delta_test, source_and_target_of_exactly_8_mib) {
  const bytes_t source = random_bytes(8 * mib, 22);
  bytes_t target = source;
  std::fill(target.begin() + 4 * mib, target.begin() + 4 * mib + 5000, 0);
  round_trip(&source, target, true, "8 MiB from 8 MiB");
}

TEST_F(large_delta_test, delta_longer_than_one_input_chunk) {
  const bytes_t target = random_bytes(8 * mib + 3000, 31);
  // Plain form: chunking does not depend on it, and trying LZMA on 8 MiB of noise is slow here.
  const bytes_t delta = round_trip(nullptr, target, false, "incompressible 8 MiB target");
  EXPECT_GT(delta.size(), 8 * mib) << "the driver reads the delta in 8 MiB chunks";
}

INSTANTIATE_TEST_SUITE_P(forms, delta_round_trip_test, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "container_form" : "plain_form";
                         });

class delta_framing_test : public interop_test_t {};

TEST_F(delta_framing_test, flipped_checksum_byte_is_rejected) {
  const bytes_t source = random_bytes(200000, 51);
  const bytes_t target = concat({slice(source, 50000, 100000), text_bytes(20000, 52)});
  bytes_t delta = encode(&source, target, true);
  ASSERT_EQ(decode(delta, &source).output, target);
  const size_t checksum = first_checksum_offset(delta);
  for (size_t i = 0; i < 4; ++i) {
    bytes_t damaged = delta;
    damaged.at(checksum + i) ^= 0x10;
    const decoded_t decoded = decode(damaged, &source);
    EXPECT_EQ(decoded.result, patch::decode_delta_corrupted) << "checksum byte " << i;
    EXPECT_TRUE(decoded.output.empty()) << "nothing of a window that fails its checksum is written";
  }
}

// ktlpack apply measures a delta's windows to refuse one that is cut short, which the driver
// decodes without complaint.
TEST_F(delta_framing_test, outline_adds_up_the_windows_and_refuses_a_cut_delta) {
  const bytes_t source = random_bytes(100000, 61);
  const bytes_t target = concat({slice(source, 0, 60000), text_bytes(50000, 62)});
  const bytes_t delta = encode(&source, target, true, 40000);
  write_bytes(file("d.xdlt"), delta);
  publisher::delta_outline_t outline;
  ASSERT_TRUE(publisher::read_delta_outline(file("d.xdlt"), outline));
  EXPECT_EQ(outline.windows, 3u);
  EXPECT_EQ(outline.target_size, target.size());

  const bytes_t cut = slice(delta, 0, delta.size() - 1);
  const decoded_t decoded = decode(cut, &source);
  EXPECT_EQ(decoded.result, patch::decode_delta_ok) << "the driver stops quietly at the end of the delta";
  EXPECT_EQ(decoded.output, slice(target, 0, 80000));
  write_bytes(file("cut.xdlt"), cut);
  EXPECT_FALSE(publisher::read_delta_outline(file("cut.xdlt"), outline));
  EXPECT_TRUE(logged("the delta is cut short inside a window"));
  write_bytes(file("header.xdlt"), slice(delta, 0, 5));
  EXPECT_FALSE(publisher::read_delta_outline(file("header.xdlt"), outline)) << "the secondary id is missing";
}

} // namespace
} // namespace orvo::interop
