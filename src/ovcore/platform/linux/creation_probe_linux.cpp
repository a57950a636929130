#include "ovcore/platform/creation_probe.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace orvo {

creation_probe_t probe_file_creation(const string& directory, const string& name, u32& error) {
  string_dyn_t path;
  if (!path.format("%s/%s", directory.c_str(), name.c_str())) {
    error = ENOMEM;
    return creation_probe_t::failed;
  }
  unlink(path.c_str());
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (file < 0) {
    error = static_cast<u32>(errno);
    return errno == EACCES || errno == EPERM ? creation_probe_t::access_denied : creation_probe_t::failed;
  }
  close(file);
  unlink(path.c_str());
  error = 0;
  return creation_probe_t::created;
}

} // namespace orvo
