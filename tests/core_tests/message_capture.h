#pragma once
#include "ovcore/messages/message_dispatcher.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace orvo::testing {

// Writes each message as one line to stderr, where death tests look for it.
class stderr_handler_t : public message_handler_t {
public:
  void on_message(const string& text, u32 level) override {
    std::fprintf(stderr, "level %u: %s\n", level, text.c_str());
    std::fflush(stderr);
  }
};

// A process-wide dispatcher whose messages reach stderr, for failed-check death tests.
class with_stderr_log : public ::testing::Test {
protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    create_message_dispatcher();
    message_dispatcher()->register_handler(&log);
  }
  void TearDown() override {
    message_dispatcher()->unregister_handler(&log);
    destroy_message_dispatcher();
  }

  stderr_handler_t log;
};

} // namespace orvo::testing
