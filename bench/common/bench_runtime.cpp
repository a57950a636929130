#include "bench_runtime.h"

#include "ovcore/messages/message_dispatcher.h"
#include "ovcore/system/runtime.h"

#include <cstdio>

namespace orvo::bench {

namespace {

class stderr_log_t final : public message_handler_t {
public:
  void on_message(const string& text, u32) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

} // namespace

int run_with_runtime(int argc, char** argv, int (*body)(int argc, char** argv)) {
  runtime_startup();
  stderr_log_t log;
  message_dispatcher()->register_handler(&log);
  const int status = body(argc, argv);
  message_dispatcher()->unregister_handler(&log);
  runtime_shutdown();
  return status;
}

} // namespace orvo::bench
