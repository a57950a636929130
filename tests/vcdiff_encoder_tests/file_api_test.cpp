#include "test_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace test_data;
namespace fs = std::filesystem;

namespace {

class vcdiff_file_api : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("vcdiff_encoder_tests_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string path(const char* name) const { return (folder_ / name).string(); }
  void write(const char* name, const bytes_t& bytes) const {
    std::ofstream out(folder_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  bytes_t read(const char* name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return bytes_t(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path folder_;
};

// Reader that fails from a given offset on.
class failing_reader_t final : public orvo::vcdiff::byte_reader_t {
public:
  failing_reader_t(const bytes_t& bytes, uint64_t failing_from) : bytes_(bytes), failing_from_(failing_from) {}
  orvo::u64 size() const override { return bytes_.size(); }
  bool read(orvo::u64 offset, orvo::u8* destination, size_t length) override {
    if (offset + length > failing_from_) return false;
    std::copy(bytes_.begin() + offset, bytes_.begin() + offset + length, destination);
    return true;
  }

private:
  const bytes_t& bytes_;
  uint64_t failing_from_;
};

} // namespace

TEST_F(vcdiff_file_api, files_give_the_same_delta_as_memory) {
  const bytes_t source = structured_bytes(600000, 40);
  bytes_t target = source;
  flip_scattered_bytes(&target, 50, 41);
  write("source.bin", source);
  write("target.bin", target);
  orvo::vcdiff::encode_report_t report;
  ASSERT_EQ(orvo::vcdiff::encode_file(path("source.bin").c_str(), path("target.bin").c_str(), path("out.vcdiff").c_str(),
                                      orvo::vcdiff::encode_options_t{}, &report),
            orvo::vcdiff::encode_result_t::ok);
  EXPECT_EQ(read("out.vcdiff"), encode(&source, target, orvo::vcdiff::encode_options_t{}));
  EXPECT_EQ(report.stats.target_bytes, target.size());
  EXPECT_EQ(report.stats.delta_bytes, read("out.vcdiff").size());
  EXPECT_EQ(report.stats.source_copy_bytes + report.stats.target_copy_bytes + report.stats.add_bytes +
                report.stats.run_bytes,
            target.size());

  ASSERT_EQ(orvo::vcdiff::encode_file("", path("target.bin").c_str(), path("alone.vcdiff").c_str(), plain_options()),
            orvo::vcdiff::encode_result_t::ok);
  reference::delta_t decoded;
  std::string error;
  ASSERT_TRUE(reference::decode(read("alone.vcdiff"), bytes_t{}, reference::form_t::plain, &decoded, &error)) << error;
  EXPECT_EQ(decoded.target, target);
}

TEST_F(vcdiff_file_api, failures_are_reported_and_leave_no_output) {
  write("target.bin", structured_bytes(1000, 42));
  orvo::vcdiff::encode_report_t report;
  EXPECT_EQ(orvo::vcdiff::encode_file("", path("missing.bin").c_str(), path("out.vcdiff").c_str(),
                                      orvo::vcdiff::encode_options_t{}, &report),
            orvo::vcdiff::encode_result_t::target_read_error);
  EXPECT_FALSE(report.error.empty());
  EXPECT_EQ(orvo::vcdiff::encode_file(path("missing.bin").c_str(), path("target.bin").c_str(),
                                      path("out.vcdiff").c_str(), orvo::vcdiff::encode_options_t{}),
            orvo::vcdiff::encode_result_t::source_read_error);
  orvo::vcdiff::encode_options_t bad;
  bad.window_size = (16u << 20) + 1;
  EXPECT_EQ(orvo::vcdiff::encode_file("", path("target.bin").c_str(), path("out.vcdiff").c_str(), bad, &report),
            orvo::vcdiff::encode_result_t::invalid_options);
  EXPECT_FALSE(report.error.empty());
  EXPECT_FALSE(fs::exists(folder_ / "out.vcdiff"));
  EXPECT_EQ(orvo::vcdiff::encode_file("", path("target.bin").c_str(), path("no_folder/out.vcdiff").c_str(),
                                      orvo::vcdiff::encode_options_t{}),
            orvo::vcdiff::encode_result_t::write_error);
}

TEST_F(vcdiff_file_api, read_failures_in_the_middle_end_the_encoding) {
  const bytes_t source = structured_bytes(300000, 43), target = structured_bytes(300000, 44);
  orvo::vcdiff::encode_options_t options;
  options.window_size = 64 * 1024;
  options.source_segment_size = 64 * 1024;
  options.max_source_segment_size = 64 * 1024;
  orvo::vcdiff::memory_writer_t output;
  failing_reader_t bad_target(target, 200000);
  orvo::vcdiff::memory_reader_t good_source(source.data(), source.size());
  EXPECT_EQ(orvo::vcdiff::encode(&good_source, bad_target, output, options),
            orvo::vcdiff::encode_result_t::target_read_error);
  failing_reader_t bad_source(source, 250000);
  orvo::vcdiff::memory_reader_t good_target(target.data(), target.size());
  EXPECT_EQ(orvo::vcdiff::encode(&bad_source, good_target, output, options),
            orvo::vcdiff::encode_result_t::source_read_error);
}
