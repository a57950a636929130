#include "ovcore/messages/messages.h"
#include "ovcore/strings/printf_format.h"
#include "ovcore/strings/strings.h"

#include <cstring>

namespace orvo {

namespace {

char shared_empty_text[1] = {0};

// Source and line that a failed index check of a mutable string reports.
constexpr const char* mstring_source = "strings/strings_mutable_impl";
constexpr u32 mstring_bounds_line = 95;

u32 measure(const char* text) { return static_cast<u32>(std::strlen(text)); }

u32 measure_bounded(const char* text, u32 limit) {
  const void* nul = std::memchr(text, 0, limit);
  return nul ? static_cast<u32>(static_cast<const char*>(nul) - text) : limit;
}

} // namespace

u32 string::length() const { return measure(c_str()); }
string::string(const mstring_t& text) : text_(text.c_str()) {}
bool string::equals(const string& other) const { return std::strcmp(c_str(), other.c_str()) == 0; }

u32 mstring_t::length() const { return measure(buffer_); }

const char* mstring_t::reserve_keeping(u32 bytes, const char* text) {
  const uptr old_start = reinterpret_cast<uptr>(buffer_);
  const uptr old_end = old_start + capacity();
  reserve(bytes);
  // The text may be this string's own, which reserve has just moved.
  const uptr at = reinterpret_cast<uptr>(text);
  if (at >= old_start && at < old_end) return buffer_ + (at - old_start);
  return text;
}

void mstring_t::clear() {
  if (capacity() != 0) buffer_[0] = 0;
}

bool mstring_t::set_from(u32 pos, const string& source_view, u32 off, u32 count) {
  const char* source = source_view.c_str();
  if (count != 0) {
    const u32 room = capacity() - pos;
    if (count >= room) {
      u32 n_all;
      if (count == npos32 || off + count < off) n_all = measure(source);
      else n_all = measure_bounded(source, off + count);
      if (n_all <= off) {
        source = "";
        off = 0;
        count = 0;
      } else {
        const u32 n = n_all - off;
        if (n >= room && can_grow()) {
          const u32 base = capacity() - room + 1;
          if (base + n >= base) source = reserve_keeping(base + n, source);
        }
        count = n;
      }
    }
  }
  // Raw copy.
  const u32 cap = capacity();
  if (cap == 0) return true;
  const char* from = source + off;
  u32 copied = 0;
  const u32 limit = cap - pos - 1;
  while (copied < limit && copied < count && from[copied] != 0) {
    buffer_[pos + copied] = from[copied];
    ++copied;
  }
  buffer_[pos + copied] = 0;
  return copied == count || from[copied] == 0;
}

bool mstring_t::append(const char* text) {
  if (!text) return true;
  return set_from(length(), text, 0, npos32);
}

bool mstring_t::append_char(char ch) {
  const u32 len = length();
  if (len + 2 > capacity()) {
    if (!can_grow()) return false;
    reserve(len + 2);
  }
  buffer_[len] = ch;
  buffer_[len + 1] = 0;
  return true;
}

bool mstring_t::format_at(u32 pos, const char* fmt, va_list args) {
  if (can_grow()) {
    va_list measuring;
    va_copy(measuring, args);
    const int needed = format_text(nullptr, 0, fmt, measuring);
    va_end(measuring);
    if (needed >= 0) reserve(pos + 1 + static_cast<u32>(needed));
  }
  const u32 room = capacity() - pos;
  if (room == 0 || capacity() < pos) return false;
  int result = format_text(buffer_ + pos, room, fmt, args);
  buffer_[pos + room - 1] = 0;
  return result >= 0 && static_cast<u32>(result) < room;
}

bool mstring_t::format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  const bool ok = format_at(0, fmt, args);
  va_end(args);
  return ok;
}

bool mstring_t::append_format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  const bool ok = format_at(length(), fmt, args);
  va_end(args);
  return ok;
}

void mstring_t::replace_char(char from, char to) {
  const u32 cap = capacity();
  for (u32 i = 0; i < cap && buffer_[i] != 0; ++i)
    if (buffer_[i] == from) buffer_[i] = to;
}

char& mstring_t::operator[](u32 index) {
  if (index >= capacity())
    fatal_check_failed(mstring_source, mstring_bounds_line, ORVO_FUNCTION, "mstring_t bounds check failed.");
  return buffer_[index];
}

string_dyn_t::string_dyn_t() { buffer_ = shared_empty_text; }

string_dyn_t::string_dyn_t(const string& text) : string_dyn_t() {
  const u32 n = text.length();
  reserve(n + 1);
  std::memcpy(buffer_, text.c_str(), n + 1);
}

string_dyn_t::string_dyn_t(const string_dyn_t& other) : string_dyn_t(string(other)) {}

string_dyn_t::string_dyn_t(string_dyn_t&& other) noexcept : capacity_(other.capacity_) {
  buffer_ = other.buffer_;
  other.buffer_ = shared_empty_text;
  other.capacity_ = 0;
}

string_dyn_t& string_dyn_t::operator=(const string_dyn_t& other) {
  if (this != &other) set(other);
  return *this;
}

string_dyn_t& string_dyn_t::operator=(string_dyn_t&& other) noexcept {
  if (this != &other) {
    release();
    buffer_ = other.buffer_;
    capacity_ = other.capacity_;
    other.buffer_ = shared_empty_text;
    other.capacity_ = 0;
  }
  return *this;
}

string_dyn_t::~string_dyn_t() { release(); }

void string_dyn_t::release() {
  if (buffer_ != shared_empty_text) delete[] buffer_;
  buffer_ = shared_empty_text;
  capacity_ = 0;
}

void string_dyn_t::reserve(u32 bytes) {
  if (buffer_ == shared_empty_text) {
    if (bytes == 0) return;
    buffer_ = new char[bytes];
    buffer_[0] = 0;
    capacity_ = bytes;
    return;
  }
  if (bytes <= capacity_) return;
  char* fresh = new char[bytes];
  std::memcpy(fresh, buffer_, capacity_);
  delete[] buffer_;
  buffer_ = fresh;
  capacity_ = bytes;
}

} // namespace orvo
