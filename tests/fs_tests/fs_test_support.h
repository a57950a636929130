#pragma once
#include "common/log_capture.h"

#include "ovcore/ufs/file_system.h"
#include "ovcore/ufs/fs_runtime.h"

#include <gtest/gtest.h>

#include <string>

namespace orvo::testing {

// Registers a handler that prints messages to stderr (with a dispatcher) inside a death-test
// child, so that the failed-check report can be matched.
void print_messages_to_stderr();

std::string read_native(const std::string& path);
void write_native(const std::string& path, const std::string& content);
std::string pattern_bytes(u32 size);

// A started file layer, a message capture and an empty folder of its own.
class fs_test_t : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  std::string path(const std::string& relative) const { return folder_ + "/" + relative; }

  log_capture_t log_;
  std::string folder_;
};

} // namespace orvo::testing
