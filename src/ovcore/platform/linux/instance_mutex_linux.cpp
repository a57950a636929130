// The named mutex is an advisory lock on a file in $XDG_RUNTIME_DIR (or /tmp), named after the
// mutex without its "Local\" prefix; the kernel drops the lock when the process ends.
#include "ovcore/system/instance_mutex.h"

#include "ovcore/messages/messages.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace orvo {

namespace {

bool format_lock_path(mstring_t& out, const string& name) {
  string_dyn_t mutex_name;
  if (!format_instance_mutex_name(mutex_name, name)) return false;
  const char* directory = std::getenv("XDG_RUNTIME_DIR");
  if (!directory || !*directory) directory = "/tmp";
  const char* file_name = mutex_name.c_str() + sizeof("Local\\") - 1;
  if (!out.format("%s/%s.lock", directory, file_name)) return false;
  char* text = out.buffer() + string(directory).length() + 1;
  for (; *text; ++text)
    if (*text == '/' || *text == '\\') *text = '_';
  return true;
}

} // namespace

bool acquire_instance_mutex(const string& name) {
  string_dyn_t lock_path;
  if (!format_lock_path(lock_path, name)) {
    log_error("Failed to convert mutex name");
    return false;
  }
  const int file = open(lock_path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (file < 0) {
    log_error("Failed to create mutex 0x%08x", static_cast<unsigned>(errno));
    return true;
  }
  if (flock(file, LOCK_EX | LOCK_NB) == 0) return true;
  const int error = errno;
  close(file);
  if (error == EWOULDBLOCK) return false;
  log_error("Failed to create mutex 0x%08x", static_cast<unsigned>(error));
  return true;
}

} // namespace orvo
