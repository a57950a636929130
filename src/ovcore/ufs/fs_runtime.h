#pragma once

namespace orvo {

// The file-system layer: native device and I/O thread, created by the runtime start-up.
void fs_startup();
// Destroys the file cache entries, the devices, then stops the I/O thread.
void fs_shutdown();

} // namespace orvo
