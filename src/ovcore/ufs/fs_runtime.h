#pragma once

namespace orvo {

// The file-system layer: native device and I/O thread, created by the runtime start-up.
void fs_startup();
// Destroys the file cache entries, the devices, then stops the I/O thread.
void fs_shutdown();

class fs_device_t;

// Fault injection: a device that every native-device call goes to instead (it usually forwards
// to the real one); null restores the native device.
void set_device_in_front(fs_device_t* device);
fs_device_t* real_native_device();

} // namespace orvo
