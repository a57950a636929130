#pragma once
// Records dispatched messages for the lifetime of the object.
#include "ovcore/messages/message_dispatcher.h"

#include <string>
#include <utility>
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
  void on_message(const string& text, u32 level) override { lines.emplace_back(text.c_str(), level); }

  bool contains(const std::string& text) const {
    for (const auto& line : lines)
      if (line.first == text) return true;
    return false;
  }
  u32 level_of(const std::string& text) const {
    for (const auto& line : lines)
      if (line.first == text) return line.second;
    return 0xFFFFFFFFu;
  }

  std::vector<std::pair<std::string, u32>> lines;

private:
  bool owns_dispatcher_ = false;
};

} // namespace orvo::testing
