#include "bench_runtime.h"

#include "ovcore/messages/message_dispatcher.h"
#include "ovcore/ufs/fs_runtime.h"

#include <cstdio>

namespace orvo::bench {

namespace {

class stderr_log_t final : public message_handler_t {
public:
  void on_message(const string& text, u32) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

} // namespace

int run_with_runtime(int argc, char** argv, int (*body)(int argc, char** argv)) {
  create_message_dispatcher();
  stderr_log_t log;
  message_dispatcher()->register_handler(&log);
  fs_startup();
  const int status = body(argc, argv);
  fs_shutdown();
  message_dispatcher()->unregister_handler(&log);
  destroy_message_dispatcher();
  return status;
}

} // namespace orvo::bench
