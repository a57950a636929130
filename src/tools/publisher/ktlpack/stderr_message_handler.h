#pragma once
#include "ovcore/messages/message_dispatcher.h"

namespace orvo::publisher {

// Prints every dispatched message on the standard error stream, in readable form.
class stderr_message_handler_t : public message_handler_t {
public:
  void on_message(const string& text, u32 level) override;
};

} // namespace orvo::publisher
