#pragma once
#include "ovcore/messages/messages.h"
#include "ovcore/types.h"

#include <new>
#include <utility>

namespace orvo {

// Failed checks of the array code report this source and these lines.
namespace array_check {
inline constexpr const char* source = "collections/arrays/arrays_base_impl";
inline constexpr const char* index_message = "Index outside array boundaries.";
inline constexpr const char* iterator_message = "Iterator outside array boundaries.";
inline constexpr u32 line_index_const = 470, line_index = 484, line_element_at_const = 498, line_element_at = 512,
                     line_index_of = 544, line_copy_in_index = 571, line_move_in_index = 595,
                     line_copy_in_element = 618, line_move_in_element = 640, line_remove = 1050,
                     line_remove_fast = 1102, line_append_block = 1675;
} // namespace array_check

// Dynamic array interface: data pointer and element count; storage policy in the variants.
template <typename T>
class array_t {
public:
  virtual ~array_t() = default;
  virtual void shrink_to_fit() = 0;
  virtual u32 capacity() const = 0;
  virtual bool reserve(u32 n) = 0;
  // A count that would take the size past 32 bits is refused, not wrapped.
  virtual bool reserve_more(u32 k) { return k == 0 ? true : k <= 0xFFFFFFFFu - size_ && reserve(size_ + k); }
  virtual bool grow(u32 k) { return reserve_more(k); }

  u32 size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }

  const T& operator[](u32 index) const {
    check_index(index, array_check::line_index_const);
    return data_[index];
  }
  T& operator[](u32 index) {
    check_index(index, array_check::line_index);
    return data_[index];
  }
  const T* element_at(u32 index) const {
    check_index(index, array_check::line_element_at_const);
    return data_ + index;
  }
  T* element_at(u32 index) {
    check_index(index, array_check::line_element_at);
    return data_ + index;
  }
  u32 index_of(const T* element) const {
    check_element(element, array_check::line_index_of);
    return static_cast<u32>(element - data_);
  }
  template <typename U>
  void copy_in(u32 index, const U& value) {
    check_index(index, array_check::line_copy_in_index);
    data_[index] = static_cast<T>(value);
  }
  void move_in(u32 index, T& value) {
    check_index(index, array_check::line_move_in_index);
    data_[index] = std::move(value);
  }
  template <typename U>
  void copy_in(T* element, const U& value) {
    check_element(element, array_check::line_copy_in_element);
    *element = static_cast<T>(value);
  }
  void move_in(T* element, T& value) {
    check_element(element, array_check::line_move_in_element);
    *element = std::move(value);
  }

  // Appends a copy (converted to T); false when the array cannot grow.
  template <typename U>
  bool push(const U& value) {
    if (!grow(1)) return false;
    new (data_ + size_) T();
    ++size_;
    copy_in(size_ - 1, value);
    return true;
  }
  bool push_move(T& value) {
    if (!grow(1)) return false;
    new (data_ + size_) T();
    ++size_;
    move_in(size_ - 1, value);
    return true;
  }
  bool push_move(T&& value) { return push_move(value); }

  // Sets the element count; new elements are value-initialised.
  bool resize(u32 n) {
    if (n > size_ && !reserve(n)) return false;
    while (size_ > n) data_[--size_].~T();
    while (size_ < n) new (data_ + size_++) T();
    return true;
  }
  void clear() { resize(0); }

  void remove(u32 index) {
    check_index(index, array_check::line_remove);
    for (u32 i = index; i + 1 < size_; ++i) data_[i] = std::move(data_[i + 1]);
    data_[--size_].~T();
  }
  void remove_fast(u32 index) {
    check_index(index, array_check::line_remove_fast);
    if (index + 1 < size_) data_[index] = std::move(data_[size_ - 1]);
    data_[--size_].~T();
  }
  void append_block_copy_or_abort(const array_t& other) {
    const u32 count = other.size_;
    if (!grow(count))
      fatal_check_failed(array_check::source, array_check::line_append_block, ORVO_FUNCTION,
                         "Failed to append_block_copy array.");
    for (u32 i = 0; i < count; ++i) new (data_ + size_ + i) T(other.data_[i]);
    size_ += count;
  }

protected:
  array_t() = default;
  array_t(const array_t&) = delete;
  array_t& operator=(const array_t&) = delete;

  void destroy_elements() {
    while (size_ > 0) data_[--size_].~T();
  }

  T* data_ = nullptr;
  u32 size_ = 0;

private:
  void check_index(u32 index, u32 line) const {
    if (index >= size_)
      fatal_check_failed(array_check::source, line, ORVO_FUNCTION, array_check::index_message);
  }
  void check_element(const T* element, u32 line) const {
    if (element < data_ || element >= data_ + size_)
      fatal_check_failed(array_check::source, line, ORVO_FUNCTION, array_check::iterator_message);
  }
};

// Growable array: capacity runs 2, 6, 14, 30, ... (cap = 2 * cap + 2).
template <typename T>
class array_dyn_t final : public array_t<T> {
public:
  array_dyn_t() = default;
  array_dyn_t(array_dyn_t&& other) noexcept { take(other); }
  array_dyn_t& operator=(array_dyn_t&& other) noexcept {
    if (this != &other) {
      release();
      take(other);
    }
    return *this;
  }
  ~array_dyn_t() override { release(); }

  void shrink_to_fit() override {
    if (capacity_ == this->size_) return;
    if (this->size_ == 0) {
      ::operator delete(this->data_);
      this->data_ = nullptr;
      capacity_ = 0;
      return;
    }
    reallocate(this->size_);
  }
  u32 capacity() const override { return capacity_; }
  bool reserve(u32 n) override {
    if (capacity_ >= n) return true;
    u64 cap = capacity_;
    while (cap < n) cap = 2 * cap + 2;
    if (cap > 0xFFFFFFFFu) cap = n;
    return reallocate(static_cast<u32>(cap));
  }

private:
  bool reallocate(u32 cap) {
    const u64 bytes = static_cast<u64>(cap) * sizeof(T);
    if (bytes > static_cast<u64>(static_cast<size_t>(-1) / 2)) return false;
    T* fresh = static_cast<T*>(::operator new(static_cast<size_t>(bytes), std::nothrow));
    if (!fresh) return false;
    for (u32 i = 0; i < this->size_; ++i) {
      new (fresh + i) T(std::move(this->data_[i]));
      this->data_[i].~T();
    }
    ::operator delete(this->data_);
    this->data_ = fresh;
    capacity_ = cap;
    return true;
  }
  void release() {
    this->destroy_elements();
    ::operator delete(this->data_);
    this->data_ = nullptr;
    capacity_ = 0;
  }
  void take(array_dyn_t& other) {
    this->data_ = other.data_;
    this->size_ = other.size_;
    capacity_ = other.capacity_;
    other.data_ = nullptr;
    other.size_ = 0;
    other.capacity_ = 0;
  }

  u32 capacity_ = 0;
};

// Fixed-capacity array with its storage inside the object.
template <typename T, u32 N>
class array_fixed_t final : public array_t<T> {
public:
  array_fixed_t() { this->data_ = reinterpret_cast<T*>(storage_); }
  ~array_fixed_t() override { this->destroy_elements(); }
  array_fixed_t(const array_fixed_t&) = delete;
  array_fixed_t& operator=(const array_fixed_t&) = delete;

  void shrink_to_fit() override {}
  u32 capacity() const override { return N; }
  bool reserve(u32 n) override { return n <= N; }

private:
  alignas(T) unsigned char storage_[N * sizeof(T)];
};

} // namespace orvo
