#pragma once
#include "ovcore/messages/message_dispatcher.h"

#include <mutex>
#include <string>
#include <vector>

namespace orvo::runtime_tests {

// Records every dispatched message while it lives.
class runtime_log_capture_t final : public message_handler_t {
public:
  runtime_log_capture_t() {
    create_message_dispatcher();
    message_dispatcher()->register_handler(this);
  }
  ~runtime_log_capture_t() override { message_dispatcher()->unregister_handler(this); }

  void on_message(const string& text, u32 level) override {
    std::lock_guard<std::mutex> guard(mutex_);
    lines_.emplace_back(text.c_str());
    levels_.push_back(level);
  }
  std::vector<std::string> lines() {
    std::lock_guard<std::mutex> guard(mutex_);
    return lines_;
  }
  bool contains(const std::string& line, u32 level) {
    std::lock_guard<std::mutex> guard(mutex_);
    for (size_t i = 0; i < lines_.size(); ++i)
      if (lines_[i] == line && levels_[i] == level) return true;
    return false;
  }

private:
  std::mutex mutex_;
  std::vector<std::string> lines_;
  std::vector<u32> levels_;
};

} // namespace orvo::runtime_tests
