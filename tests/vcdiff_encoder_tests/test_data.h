#pragma once
// Generated inputs and encode helpers shared by the encoder tests.
#include "reference_decoder.h"
#include "tools/vcdiff_encoder/vcdiff_encoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace test_data {

using bytes_t = std::vector<uint8_t>;
constexpr size_t mib = size_t{1} << 20;

class random_t {
public:
  explicit random_t(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  size_t below(size_t bound) { return static_cast<size_t>(next() % bound); }

private:
  uint64_t state_;
};

inline bytes_t random_bytes(size_t length, uint64_t seed) {
  random_t random(seed);
  bytes_t out(length);
  for (size_t i = 0; i < length; ++i) out[i] = static_cast<uint8_t>(random.next());
  return out;
}

// Game-like data: records of words, counters and random payload, with some zero padding.
inline bytes_t structured_bytes(size_t length, uint64_t seed) {
  random_t random(seed);
  static const char* words[] = {"texture", "mesh", "sound", "level", "actor", "script", "shader", "anim"};
  bytes_t out;
  out.reserve(length);
  uint32_t counter = 0;
  while (out.size() < length) {
    const char* word = words[random.below(8)];
    out.insert(out.end(), word, word + std::char_traits<char>::length(word));
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(counter >> (8 * i)));
    ++counter;
    const size_t payload = random.below(48);
    for (size_t i = 0; i < payload; ++i) out.push_back(static_cast<uint8_t>(random.next()));
    if (random.below(16) == 0) out.insert(out.end(), random.below(200), 0);
  }
  out.resize(length);
  return out;
}

inline void flip_scattered_bytes(bytes_t* data, size_t count, uint64_t seed) {
  random_t random(seed);
  for (size_t i = 0; i < count; ++i) (*data)[random.below(data->size())] ^= 0x5A;
}

inline orvo::vcdiff::encode_options_t plain_options() {
  orvo::vcdiff::encode_options_t options;
  options.container_form = false;
  return options;
}

// Encodes in memory; source null means no source.
inline bytes_t encode(const bytes_t* source, const bytes_t& target, const orvo::vcdiff::encode_options_t& options,
                      orvo::vcdiff::encode_report_t* report = nullptr) {
  orvo::vcdiff::memory_reader_t source_reader(source ? source->data() : nullptr, source ? source->size() : 0);
  orvo::vcdiff::memory_reader_t target_reader(target.data(), target.size());
  orvo::vcdiff::memory_writer_t output;
  const orvo::vcdiff::encode_result_t result =
      orvo::vcdiff::encode(source ? &source_reader : nullptr, target_reader, output, options, report);
  EXPECT_EQ(result, orvo::vcdiff::encode_result_t::ok);
  return output.bytes();
}

// Encodes, decodes with the reference decoder and checks the result is the target.
inline reference::delta_t round_trip(const bytes_t* source, const bytes_t& target,
                                     const orvo::vcdiff::encode_options_t& options, size_t* delta_size = nullptr) {
  const bytes_t delta = encode(source, target, options);
  if (delta_size) *delta_size = delta.size();
  reference::delta_t decoded;
  std::string error;
  const bytes_t empty;
  const bool ok = reference::decode(delta, source ? *source : empty,
                                    options.container_form ? reference::form_t::container : reference::form_t::plain,
                                    &decoded, &error);
  EXPECT_TRUE(ok) << error;
  EXPECT_TRUE(decoded.target == target) << "decoded " << decoded.target.size() << " bytes, expected "
                                        << target.size();
  return decoded;
}

} // namespace test_data
