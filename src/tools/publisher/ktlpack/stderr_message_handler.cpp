#include "stderr_message_handler.h"

#include <cstdio>

namespace orvo::publisher {

void stderr_message_handler_t::on_message(const string& text, u32 level) {
  thread::scoped_lock_t guard(lock());
  std::fprintf(stderr, "%s\n", text.c_str());
}

} // namespace orvo::publisher
