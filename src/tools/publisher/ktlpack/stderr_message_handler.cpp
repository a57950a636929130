#include "stderr_message_handler.h"
#include "delta_rejection_text.h"

#include <cstdio>

namespace orvo::publisher {

void stderr_message_handler_t::on_message(const string& text, u32 level) {
  thread::scoped_lock_t guard(lock());
  std::fprintf(stderr, "%s\n", readable_message(text.c_str()).c_str());
}

} // namespace orvo::publisher
