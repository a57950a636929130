#pragma once
#include "ovcore/messages/message_dispatcher.h"
#include "ovcore/ufs/file_system.h"
#include "ovcore/ufs/fs_runtime.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

namespace orvo::testing {

struct logged_line_t {
  std::string text;
  u32 level;
};

// Keeps every dispatched message.
class recording_handler_t final : public message_handler_t {
public:
  void on_message(const string& text, u32 level) override;
  bool has(const std::string& text, u32 level = message_level_error) const;
  bool has_prefix(const std::string& prefix) const;
  void clear();

private:
  mutable std::mutex mutex_;
  std::vector<logged_line_t> lines_;
};

// Prints messages to stderr, so that death tests can match the failed-check report.
class stderr_handler_t final : public message_handler_t {
public:
  void on_message(const string& text, u32 level) override;
};

// Registers a stderr handler (with a dispatcher) inside a death-test child.
void print_messages_to_stderr();

std::string read_native(const std::string& path);
void write_native(const std::string& path, const std::string& content);
std::string pattern_bytes(u32 size);

// A started file layer, a recording handler and an empty folder of its own.
class fs_test_t : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  std::string path(const std::string& relative) const { return folder_ + "/" + relative; }

  recording_handler_t log_;
  std::string folder_;
};

void remove_tree(const std::string& path);

} // namespace orvo::testing
