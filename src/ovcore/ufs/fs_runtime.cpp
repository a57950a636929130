#include "ovcore/ufs/fs_runtime.h"

#include "ovcore/messages/messages.h"
#include "ovcore/ufs/file_system.h"
#include "ovcore/ufs/fs_backend.h"
#include "ovcore/ufs/fs_cache.h"
#include "ovcore/ufs/fs_native_device.h"

namespace orvo {

namespace {

fs_device_t* native_device_instance = nullptr;
fs_device_t* device_in_front = nullptr;

} // namespace

void fs_startup() {
  if (native_device_instance) return;
  if (!platform::fs_backend_start()) {
    log_error("[fs] unable to start the file I/O thread");
    return;
  }
  native_device_instance = new fs_native_device_t;
}

void fs_shutdown() {
  fs_cache_clear();
  if (!native_device_instance) return;
  delete native_device_instance;
  native_device_instance = nullptr;
  platform::fs_backend_stop();
}

fs_device_t* native_device() { return device_in_front && native_device_instance ? device_in_front : native_device_instance; }

fs_device_t* real_native_device() { return native_device_instance; }

void set_device_in_front(fs_device_t* device) { device_in_front = device; }

} // namespace orvo
