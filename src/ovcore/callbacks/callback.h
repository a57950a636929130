#pragma once

namespace orvo {

// Callable object with one argument; the caller keeps it alive while it may be called.
template <typename R, typename A>
class callback_1_t {
public:
  virtual ~callback_1_t() = default;
  virtual R call(A argument) = 0;
};

} // namespace orvo
