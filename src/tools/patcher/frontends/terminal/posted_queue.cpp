#include "tools/patcher/frontends/terminal/posted_queue.h"

#include "ovcore/messages/messages.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace orvo::ui {

posted_queue_t::~posted_queue_t() {
  if (wake_read_ >= 0) close(wake_read_);
  if (wake_write_ >= 0) close(wake_write_);
}

bool posted_queue_t::open() {
  int ends[2];
  if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0) {
    log_error("[ERR] Unable to create the terminal wake-up pipe: %s", std::strerror(errno));
    return false;
  }
  wake_read_ = ends[0];
  wake_write_ = ends[1];
  return true;
}

void posted_queue_t::push(const posted_t& posted) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    items_.push_back(posted);
  }
  // A full pipe already holds a wake-up.
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(wake_write_, &byte, 1);
}

bool posted_queue_t::take(posted_t& out) {
  std::lock_guard<std::mutex> hold(lock_);
  if (items_.empty()) return false;
  out = items_.front();
  items_.pop_front();
  return true;
}

void posted_queue_t::drain_wake_ups() {
  char sink[64];
  while (read(wake_read_, sink, sizeof(sink)) > 0) {
  }
}

void posted_queue_t::wait(int input_fd, int timeout_ms) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (!items_.empty()) return;
  }
  pollfd watched[2] = {{input_fd, POLLIN, 0}, {wake_read_, POLLIN, 0}};
  poll(watched, 2, timeout_ms);
  drain_wake_ups();
}

} // namespace orvo::ui
