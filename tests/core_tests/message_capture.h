#pragma once
#include "ovcore/messages/message_dispatcher.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace orvo::testing {

// Records every message it receives.
class capture_handler_t : public message_handler_t {
public:
  struct entry_t {
    std::string text;
    u32 level;
  };

  void on_message(const string& text, u32 level) override {
    thread::scoped_lock_t guard(lock());
    messages.push_back({text.c_str(), level});
  }

  std::vector<std::string> texts() const {
    std::vector<std::string> result;
    for (const entry_t& entry : messages) result.push_back(entry.text);
    return result;
  }

  std::vector<entry_t> messages;
};

// Writes each message as one line to stderr, where death tests look for it.
class stderr_handler_t : public message_handler_t {
public:
  void on_message(const string& text, u32 level) override {
    std::fprintf(stderr, "level %u: %s\n", level, text.c_str());
    std::fflush(stderr);
  }
};

// A process-wide dispatcher with one capturing handler for the duration of a test.
class with_log_capture : public ::testing::Test {
protected:
  void SetUp() override {
    create_message_dispatcher();
    message_dispatcher()->register_handler(&log);
  }
  void TearDown() override {
    message_dispatcher()->unregister_handler(&log);
    destroy_message_dispatcher();
  }

  capture_handler_t log;
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
