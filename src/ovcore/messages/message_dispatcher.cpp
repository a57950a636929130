#include "ovcore/messages/message_dispatcher.h"

#include "ovcore/platform/process_exit.h"
#include "ovcore/strings/printf_format.h"

namespace orvo {

namespace {

message_dispatcher_t* dispatcher_instance = nullptr;
thread_local deferred_messages_t* thread_deferral = nullptr;

void send(message_level_t level, const char* format, va_list args) {
  message_dispatcher_t* dispatcher = dispatcher_instance;
  if (!dispatcher) return;
  string_dyn_t text;
  text.format_at(0, format, args);
  if (thread_deferral) thread_deferral->add(text, level);
  else dispatcher->dispatch(text, level);
}

} // namespace

fatal_hook_t fatal_hook = nullptr;

void message_dispatcher_t::register_handler(message_handler_t* handler) {
  thread::scoped_lock_t guard(lock_);
  handlers_.push(handler);
}

void message_dispatcher_t::unregister_handler(message_handler_t* handler) {
  thread::scoped_lock_t guard(lock_);
  message_handler_t** found = handlers_.end();
  for (message_handler_t*& slot : handlers_)
    if (slot == handler) found = &slot;
  handlers_.remove_fast(handlers_.index_of(found));
}

void message_dispatcher_t::dispatch(const string& text, u32 level) {
  thread::scoped_lock_t guard(lock_);
  for (u32 i = 0; i < handlers_.size(); ++i) handlers_[i]->on_message(text, level);
}

void deferred_messages_t::add(const string& text, u32 level) {
  message_t message;
  message.text.set(text);
  message.level = level;
  messages_.push_move(message);
}

void deferred_messages_t::replay() {
  message_dispatcher_t* dispatcher = dispatcher_instance;
  if (dispatcher)
    for (const message_t& message : messages_) dispatcher->dispatch(message.text, message.level);
  messages_.clear();
}

scoped_message_deferral_t::scoped_message_deferral_t(deferred_messages_t& store) : previous_(thread_deferral) {
  thread_deferral = &store;
}

scoped_message_deferral_t::~scoped_message_deferral_t() { thread_deferral = previous_; }

message_dispatcher_t* message_dispatcher() { return dispatcher_instance; }

void create_message_dispatcher() {
  if (!dispatcher_instance) dispatcher_instance = new message_dispatcher_t;
}

void destroy_message_dispatcher() {
  delete dispatcher_instance;
  dispatcher_instance = nullptr;
}

#define ORVO_DEFINE_SENDER(name, level) \
  void name(const char* format, ...) {  \
    va_list args;                       \
    va_start(args, format);             \
    send(level, format, args);          \
    va_end(args);                       \
  }
ORVO_DEFINE_SENDER(log_info, message_level_info)
ORVO_DEFINE_SENDER(log_warning, message_level_warning)
ORVO_DEFINE_SENDER(log_error, message_level_error)
#undef ORVO_DEFINE_SENDER

void log_message(message_level_t level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  send(level, format, args);
  va_end(args);
}

void fatal_check_failed(const char* source_file, u32 line, const char* function, const char* message) {
  thread_deferral = nullptr;  // the process ends here: nothing may be held back
  log_error("%s(%u): %s: %s", source_file, line, function, message);
  if (fatal_hook) fatal_hook(message, source_file, line, function);
  platform::terminate_abnormally();
}

} // namespace orvo
