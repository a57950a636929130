#pragma once
#include <utility>

namespace orvo {

// Owning pointer: destroys its object when reset or destroyed; moved, never copied.
template <typename T>
class auto_ptr_t {
public:
  auto_ptr_t() = default;
  explicit auto_ptr_t(T* object) : object_(object) {}
  auto_ptr_t(auto_ptr_t&& other) noexcept : object_(other.release()) {}
  template <typename U>
  auto_ptr_t(auto_ptr_t<U>&& other) noexcept : object_(other.release()) {}
  auto_ptr_t& operator=(auto_ptr_t&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  auto_ptr_t(const auto_ptr_t&) = delete;
  auto_ptr_t& operator=(const auto_ptr_t&) = delete;
  ~auto_ptr_t() { reset(); }

  void reset(T* object = nullptr) {
    T* old = object_;
    object_ = object;
    delete old;
  }
  T* release() { return std::exchange(object_, nullptr); }
  T* get() const { return object_; }
  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }

private:
  T* object_ = nullptr;
};

} // namespace orvo
