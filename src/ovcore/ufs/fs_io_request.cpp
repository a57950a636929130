#include "ovcore/ufs/fs_io_request.h"

namespace orvo {

fs_io_request_t* fs_complete_request() {
  static fs_io_request_t complete = [] {
    fs_io_request_t request;
    request.state = fs_request_complete;
    request.result = true;
    return request;
  }();
  return &complete;
}

} // namespace orvo
