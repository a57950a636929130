#include "analysis_support.h"

#include "tools/publisher/rsa_keys.h"
#include "tools/vcdiff_encoder/vcdiff_encoder.h"

#include <cryptopp/sha.h>

#include <cstring>

namespace orvo::analysis {

content_hash_t digest_named(char name) {
  content_hash_t hash;
  std::memset(hash.bytes, name, sizeof hash.bytes);
  return hash;
}

content_hash_t digest_of(const std::string& content) {
  content_hash_t hash;
  CryptoPP::SHA256().CalculateDigest(hash.bytes, reinterpret_cast<const u8*>(content.data()), content.size());
  return hash;
}

publisher::content_hash_t to_publisher(const content_hash_t& hash) {
  publisher::content_hash_t out;
  std::memcpy(out.data(), hash.bytes, out.size());
  return out;
}

std::string hex(const content_hash_t& hash) { return hash.text().c_str(); }

void analysis_test_t::SetUp() {
  interop_test_t::SetUp();
  ASSERT_TRUE(publisher::load_private_key(interop::dev_key_path("dev-private.key"), private_key_));
  std::filesystem::create_directories(file("game"));
}

namespace {

// The block payload of a diff with real content: the content, or a delta made by our encoder.
void write_content(publisher::diff_input_t& input, const container_spec_t::content_diff_t& diff,
                   const std::filesystem::path& data) {
  const std::filesystem::path content = data.string() + ".content";
  interop::write_text(content, diff.content);
  input.method = diff.method;
  input.data = content;
  if (diff.method != publisher::block_method_t::delta) return;
  const std::filesystem::path source = data.string() + ".source";
  interop::write_text(source, diff.source.value_or(""));
  ASSERT_EQ(vcdiff::encode_file(diff.source ? source.generic_string().c_str() : "", content.generic_string().c_str(),
                                data.generic_string().c_str(), vcdiff::encode_options_t()),
            vcdiff::encode_result_t::ok);
  input.data = data;
  input.encoded = true;
  input.encoded_output_size = diff.content.size();
}

void add_diffs(publisher::container_writer_t& writer, const container_spec_t& spec,
               const std::filesystem::path& folder) {
  u32 counter = 0;
  for (const container_spec_t::diff_t& diff : spec.diffs) {
    const publisher::content_hash_t id = to_publisher(diff.id);
    if (diff.meta_only) {
      ASSERT_TRUE(writer.add_meta(id, 64, diff.key));
      continue;
    }

    // An encoded payload: the block header declares output_size, whatever the payload holds.
    const std::filesystem::path data = folder / ("diff" + std::to_string(counter++));
    interop::write_bytes(data, bytes_t(16, 0x5A));
    publisher::diff_input_t input;
    input.method = publisher::block_method_t::lzma;
    input.encoded = true;
    input.encoded_output_size = diff.output_size;
    input.data = data;
    input.key = diff.key;
    input.id = &id;
    ASSERT_TRUE(writer.add_diff(input));
  }
  for (const container_spec_t::content_diff_t& diff : spec.content_diffs) {
    const publisher::content_hash_t id = to_publisher(diff.id);
    publisher::diff_input_t input;
    ASSERT_NO_FATAL_FAILURE(write_content(input, diff, folder / ("diff" + std::to_string(counter++))));
    input.id = &id;
    ASSERT_TRUE(writer.add_diff(input));
  }
}

} // namespace

void analysis_test_t::add_container(const container_spec_t& spec) {
  const std::filesystem::path folder = file("containers" + std::to_string(containers_.size()));
  std::filesystem::create_directories(folder);
  publisher::container_writer_t writer;
  ASSERT_TRUE(writer.create(folder / "patch.ktlc"));
  for (const container_spec_t::layout_t& layout : spec.layouts) {
    publisher::layout_t record;
    record.name = layout.name;
    record.version = layout.version;
    if (layout.match_hash) record.match_hash = to_publisher(*layout.match_hash);
    for (const auto& [path, hash] : layout.entries) record.entries.push_back({path, to_publisher(hash)});
    ASSERT_TRUE(writer.add_layout(record));
  }
  if (!spec.keys.empty()) {
    ASSERT_TRUE(writer.add_keys(spec.keys));
  }
  ASSERT_NO_FATAL_FAILURE(add_diffs(writer, spec, folder));
  for (const container_spec_t::patch_t& patch : spec.patches) {
    std::vector<publisher::content_hash_t> ids;
    for (const content_hash_t& id : patch.diff_ids) ids.push_back(to_publisher(id));
    ASSERT_TRUE(writer.add_file_patch(to_publisher(patch.source), to_publisher(patch.target), ids));
  }
  ASSERT_TRUE(writer.finish(&private_key_));
  containers_.push_back(interop::read_bytes(folder / "patch.ktlc"));
  const bytes_t& bytes = containers_.back();
  ASSERT_EQ(pool.add_container(bytes.data(), static_cast<u32>(bytes.size()), nullptr, &public_key_.list()),
            patch::container_open_result_t::ok);
}

void analysis_test_t::write_file(const std::string& relative, const std::string& content) {
  // Names are UTF-8 whatever the platform's narrow code page is.
  const std::u8string name(reinterpret_cast<const char8_t*>(relative.data()), relative.size());
  interop::write_text(file("game") / std::filesystem::path(name), content);
}

void analysis_test_t::reset_pool() {
  patch::container_pool_t fresh;
  std::swap(pool, fresh);
}

void analysis_test_t::reset_installation() {
  std::filesystem::remove_all(file("game"));
  std::filesystem::create_directories(file("game"));
}

std::vector<std::string> analysis_test_t::lines_starting(std::initializer_list<const char*> prefixes) const {
  std::vector<std::string> lines;
  for (const std::string& line : log_lines)
    for (const char* prefix : prefixes)
      if (line.rfind(prefix, 0) == 0) {
        lines.push_back(line);
        break;
      }
  return lines;
}

} // namespace orvo::analysis
