#pragma once
#include "ovcore/messages/message_dispatcher.h"

#include <string>
#include <vector>

namespace orvo::test {

// Collects the messages sent while it lives.
class log_capture_t final : public message_handler_t {
public:
  log_capture_t() {
    create_message_dispatcher();
    message_dispatcher()->register_handler(this);
  }
  ~log_capture_t() override { message_dispatcher()->unregister_handler(this); }
  void on_message(const string& text, u32 level) override {
    lines.push_back(text.c_str());
    levels.push_back(level);
  }
  bool contains(const std::string& line) const {
    for (const std::string& l : lines)
      if (l == line) return true;
    return false;
  }

  std::vector<std::string> lines;
  std::vector<u32> levels;
};

} // namespace orvo::test
