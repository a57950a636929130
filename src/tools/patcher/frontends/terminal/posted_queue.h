#pragma once
#include "tools/patcher/ui/ui.h"

#include <deque>
#include <mutex>

namespace orvo::ui {

// Messages posted from any thread to the user-interface thread, whose input wait they wake
// through a pipe.
class posted_queue_t {
public:
  struct posted_t {
    window_t window;
    u32 message;
  };

  posted_queue_t() = default;
  posted_queue_t(const posted_queue_t&) = delete;
  posted_queue_t& operator=(const posted_queue_t&) = delete;
  ~posted_queue_t();

  // Makes the wake-up pipe; false (logged) when it cannot.
  bool open();
  void push(const posted_t& posted);
  bool take(posted_t& out);
  // Returns when input_fd is readable, a message is queued, a signal arrives or timeout_ms pass.
  void wait(int input_fd, int timeout_ms);

private:
  void drain_wake_ups();

  std::mutex lock_;
  std::deque<posted_t> items_;
  int wake_read_ = -1;
  int wake_write_ = -1;
};

} // namespace orvo::ui
