#pragma once
#include "ovcore/strings/strings.h"
#include "tools/vcdiff_encoder/byte_stream.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace orvo::vcdiff {

// Reader over a file named by a UTF-8 path.
class file_reader_t final : public byte_reader_t {
public:
  // Logs and returns false when the file cannot be opened or sized.
  bool open(const string& path);
  u64 size() const override { return size_; }
  bool read(u64 offset, u8* destination, size_t length) override;

private:
  std::ifstream stream_;
  u64 size_ = 0;
  std::string path_;
};

// Writer that creates (or truncates) a file named by a UTF-8 path.
class file_writer_t final : public byte_writer_t {
public:
  bool open(const string& path);
  bool write(const u8* data, size_t length) override;
  // Flushes and closes; false when any write failed.
  bool close();
  // Closes and deletes the partial file.
  void discard();

private:
  std::ofstream stream_;
  std::filesystem::path fs_path_;
  std::string path_;
};

} // namespace orvo::vcdiff
