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

// Messages held back instead of dispatched: a worker that runs ahead of the order in which its
// results are used keeps its messages here, and the user of the results replays them in turn.
class deferred_messages_t {
public:
  void add(const string& text, u32 level);
  // Dispatches the held messages in the order they were sent and forgets them.
  void replay();

private:
  struct message_t {
    string_dyn_t text;
    u32 level = 0;
  };
  array_dyn_t<message_t> messages_;
};

// While it lives, messages sent on the creating thread go to the store instead of the handlers.
class scoped_message_deferral_t {
public:
  explicit scoped_message_deferral_t(deferred_messages_t& store);
  ~scoped_message_deferral_t();
  scoped_message_deferral_t(const scoped_message_deferral_t&) = delete;
  scoped_message_deferral_t& operator=(const scoped_message_deferral_t&) = delete;

private:
  deferred_messages_t* previous_;
};

// Null before the runtime start-up and after its shutdown.
message_dispatcher_t* message_dispatcher();
void create_message_dispatcher();
void destroy_message_dispatcher();

} // namespace orvo
