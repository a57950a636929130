#pragma once
#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/messages/messages.h"
#include "ovcore/strings/strings.h"
#include "ovcore/thread/sync.h"

namespace orvo {

// Receiver of dispatched messages; derived handlers serialise their work with lock().
class message_handler_t {
public:
  virtual ~message_handler_t() = default;
  virtual void on_message(const string& text, u32 level) = 0;

protected:
  thread::recursive_lock_t& lock() { return lock_; }

private:
  thread::recursive_lock_t lock_;
};

// Process-wide fan-out of messages to at most 8 handlers.
class message_dispatcher_t {
public:
  void register_handler(message_handler_t* handler);
  void unregister_handler(message_handler_t* handler);
  void dispatch(const string& text, u32 level);

private:
  array_fixed_t<message_handler_t*, 8> handlers_;
  thread::recursive_lock_t lock_;
};

// Null before the runtime start-up and after its shutdown.
message_dispatcher_t* message_dispatcher();
void create_message_dispatcher();
void destroy_message_dispatcher();

} // namespace orvo
