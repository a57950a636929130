#include "ovcore/memory/block_copy.h"
#include "ovcore/messages/message_dispatcher.h"
#include "ovcore/system/processors.h"
#include "ovcore/system/runtime.h"
#include "ovcore/system/runtime_clock.h"
#include "ovcore/thread/sync.h"
#include "ovcore/thread/thread_pool.h"
#include "ovcore/ufs/fs_runtime.h"

#include <clocale>

namespace orvo {

namespace {

u64 main_thread = 0;

} // namespace

u64 main_thread_id() { return main_thread; }

void runtime_startup() {
  main_thread = thread::current_thread_id();
  if (!std::setlocale(LC_ALL, "C.UTF-8")) std::setlocale(LC_ALL, "C");
  create_message_dispatcher();
  detect_processors();
  select_block_copy((processors()[0].features & cpu_feature_sse) != 0);
  runtime_clock_start();
  thread::pool_init();
  fs_startup();
}

void runtime_shutdown() {
  fs_shutdown();
  thread::pool_shutdown();
  runtime_clock_stop();
  destroy_message_dispatcher();
}

} // namespace orvo
