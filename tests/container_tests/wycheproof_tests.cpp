// The signature wrappers against the Wycheproof RSASSA-PKCS1-v1_5 SHA-256 vectors.
#include "ovcore/crypto/rsa_public_key.h"
#include "ovcore/crypto/rsa_verifier.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace orvo;

namespace {

struct vector_case_t {
  int id = 0;
  std::vector<u8> msg;
  std::vector<u8> sig;
  std::string result;
};

struct vector_group_t {
  std::vector<u8> public_key_der;
  std::vector<vector_case_t> cases;
};

std::vector<u8> from_hex(const std::string& hex) {
  std::vector<u8> out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<u8>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

// Reads a JSON string starting at the opening quote; pos ends after the closing quote.
std::string read_string(const std::string& text, size_t& pos) {
  std::string out;
  for (++pos; pos < text.size() && text[pos] != '"'; ++pos) {
    if (text[pos] == '\\') ++pos;
    out += text[pos];
  }
  ++pos;
  return out;
}

// Just enough JSON for the vector files: each "key": value pair in document order, where a
// publicKeyDer starts a group and a tcId starts a case.
std::vector<vector_group_t> extract_groups(const std::string& text) {
  std::vector<vector_group_t> groups;
  size_t pos = 0;
  while ((pos = text.find('"', pos)) != std::string::npos) {
    const std::string key = read_string(text, pos);
    size_t value = text.find_first_not_of(" \t\r\n", pos);
    if (value == std::string::npos || text[value] != ':') continue;
    value = text.find_first_not_of(" \t\r\n", value + 1);
    pos = value;
    if (key == "publicKeyDer") {
      groups.push_back({from_hex(read_string(text, pos)), {}});
    } else if (key == "tcId" && !groups.empty()) {
      groups.back().cases.push_back({std::stoi(text.substr(value)), {}, {}, {}});
    } else if (!groups.empty() && !groups.back().cases.empty() && (key == "msg" || key == "sig" || key == "result")) {
      const std::string string_value = read_string(text, pos);
      vector_case_t& c = groups.back().cases.back();
      if (key == "msg") c.msg = from_hex(string_value);
      if (key == "sig") c.sig = from_hex(string_value);
      if (key == "result") c.result = string_value;
    }
  }
  return groups;
}

bool load_groups(const char* name, std::vector<vector_group_t>& groups) {
  std::ifstream file(std::string(ORVO_SHARED_TESTDATA) + "/wycheproof/" + name, std::ios::binary);
  if (!file) return false;
  groups = extract_groups(std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
  return true;
}

bool verify_case(const rsa_public_key_t& key, const vector_case_t& c, u32 length) {
  auto_ptr_t<rsa_verifier_t> verifier = create_rsa_verifier(key);
  auto_ptr_t<rsa_message_accumulator_t> accumulator = create_rsa_message_accumulator();
  EXPECT_TRUE(verifier);
  EXPECT_TRUE(accumulator);
  if (!verifier || !accumulator) return false;
  accumulator->update(c.msg.data(), static_cast<u32>(c.msg.size()));
  std::vector<u8> field = c.sig;
  if (field.size() < length) field.resize(length);
  return crypto_verify(field.data(), length, *verifier, accumulator);
}

} // namespace

TEST(wycheproof, rsa_4096_sha256_verdicts) {
  std::vector<vector_group_t> groups;
  if (!load_groups("rsa_signature_4096_sha256_test.json", groups))
    GTEST_SKIP() << "shared test data not found at " << ORVO_SHARED_TESTDATA;
  size_t count = 0, valid = 0;
  for (const vector_group_t& group : groups) {
    const rsa_public_key_t key = {"", false, group.public_key_der.data(), static_cast<u32>(group.public_key_der.size())};
    for (const vector_case_t& c : group.cases) {
      ++count;
      // A signature shorter or longer than 512 bytes is handed over with its own length.
      const bool verdict = verify_case(key, c, static_cast<u32>(c.sig.size()));
      if (c.result == "valid") {
        ++valid;
        EXPECT_TRUE(verdict) << "tcId " << c.id;
      } else if (c.result == "invalid") {
        EXPECT_FALSE(verdict) << "tcId " << c.id;
      } else {
        // "acceptable" (legacy encodings) may go either way; shown for the record.
        ASSERT_EQ(c.result, "acceptable") << "tcId " << c.id;
        std::printf("wycheproof 4096 tcId %d (acceptable): %s\n", c.id, verdict ? "accepted" : "rejected");
      }
    }
  }
  EXPECT_EQ(count, 258u);
  EXPECT_EQ(valid, 7u);
}

TEST(wycheproof, valid_2048_bit_signatures_fail_the_512_byte_rule) {
  std::vector<vector_group_t> groups;
  if (!load_groups("rsa_signature_2048_sha256_test.json", groups))
    GTEST_SKIP() << "shared test data not found at " << ORVO_SHARED_TESTDATA;
  size_t valid = 0;
  for (const vector_group_t& group : groups) {
    const rsa_public_key_t key = {"", false, group.public_key_der.data(), static_cast<u32>(group.public_key_der.size())};
    for (const vector_case_t& c : group.cases) {
      if (c.result != "valid") continue;
      ++valid;
      EXPECT_TRUE(verify_case(key, c, 256)) << "tcId " << c.id << " is a good signature";
      EXPECT_FALSE(verify_case(key, c, 512)) << "tcId " << c.id;
    }
  }
  EXPECT_EQ(valid, 9u);
}
