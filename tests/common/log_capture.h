#pragma once
// Records dispatched messages for the lifetime of the object (from any thread).
#include "ovcore/messages/message_dispatcher.h"

#include <mutex>
#include <string>
#include <vector>

namespace orvo::testing {

class log_capture_t : public message_handler_t {
public:
  log_capture_t() {
    owns_dispatcher_ = message_dispatcher() == nullptr;
    if (owns_dispatcher_) create_message_dispatcher();
    message_dispatcher()->register_handler(this);
  }
  ~log_capture_t() override {
    message_dispatcher()->unregister_handler(this);
    if (owns_dispatcher_) destroy_message_dispatcher();
  }
  void on_message(const string& text, u32 level) override {
    std::lock_guard<std::mutex> guard(mutex_);
    lines.emplace_back(text.c_str());
    levels.push_back(level);
  }

  bool contains(const std::string& text) const { return level_of(text) != no_level; }
  bool contains(const std::string& text, u32 level) const {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i] == text && levels[i] == level) return true;
    return false;
  }
  // Level of the first line equal to text, or no_level.
  u32 level_of(const std::string& text) const {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i] == text) return levels[i];
    return no_level;
  }

  static constexpr u32 no_level = 0xFFFFFFFFu;
  std::vector<std::string> lines;
  std::vector<u32> levels;

private:
  std::mutex mutex_;
  bool owns_dispatcher_ = false;
};

} // namespace orvo::testing
