#pragma once

namespace orvo {

// Callable object with one argument; the caller keeps it alive while it may be called.
template <typename R, typename A>
class callback_1_t {
public:
  virtual ~callback_1_t() = default;
  virtual R call(A argument) = 0;
};

// Adapts any callable (a lambda, a functor) to callback_1_t.
template <typename R, typename A, typename F>
class callback_fn_t final : public callback_1_t<R, A> {
public:
  explicit callback_fn_t(F function) : function_(static_cast<F&&>(function)) {}
  R call(A argument) override { return function_(argument); }

private:
  F function_;
};

} // namespace orvo
