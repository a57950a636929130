#pragma once
#include "ovcore/types.h"

#include <cstdarg>

namespace orvo {

class mstring_t;

// Non-owning view of a NUL-terminated text; a null pointer reads as the empty text.
class string {
public:
  string() = default;
  string(const char* text) : text_(text) {}
  string(const mstring_t& text);
  const char* c_str() const { return text_ ? text_ : ""; }
  u32 length() const;
  bool empty() const { return !text_ || !*text_; }
  bool equals(const string& other) const;

private:
  const char* text_ = nullptr;
};

// Mutable NUL-terminated byte string; no stored length.
class mstring_t {
public:
  virtual ~mstring_t() = default;
  virtual bool can_grow() const = 0;
  virtual void reserve(u32 bytes) = 0;
  virtual u32 capacity() const = 0;

  const char* c_str() const { return buffer_; }
  char* buffer() { return buffer_; }
  u32 length() const;
  bool empty() const { return buffer_[0] == 0; }
  void clear();

  // Replaces everything from byte pos on with up to count bytes of source from source_offset;
  // true when nothing had to be cut.
  bool set_from(u32 pos, const string& source, u32 source_offset = 0, u32 count = npos32);
  bool set(const string& source) { return set_from(0, source); }
  bool append(const char* text);
  bool append_char(char ch);
  bool format(const char* fmt, ...);
  bool append_format(const char* fmt, ...);
  bool format_at(u32 pos, const char* fmt, va_list args);
  void replace_char(char from, char to);
  char& operator[](u32 index);

protected:
  mstring_t() = default;
  mstring_t(const mstring_t&) = delete;
  mstring_t& operator=(const mstring_t&) = delete;

  char* buffer_ = nullptr;

private:
  // reserve(bytes); returns text, moved along when it pointed into the old buffer.
  const char* reserve_keeping(u32 bytes, const char* text);
};

// Growable string; the empty string shares one static empty text and owns no buffer.
class string_dyn_t final : public mstring_t {
public:
  string_dyn_t();
  string_dyn_t(const string& text);
  string_dyn_t(const string_dyn_t& other);
  string_dyn_t(string_dyn_t&& other) noexcept;
  string_dyn_t& operator=(const string_dyn_t& other);
  string_dyn_t& operator=(string_dyn_t&& other) noexcept;
  ~string_dyn_t() override;

  bool can_grow() const override { return true; }
  void reserve(u32 bytes) override;
  u32 capacity() const override { return capacity_; }

private:
  void release();
  u32 capacity_ = 0;
};

// Fixed-capacity string with its buffer inside the object.
template <u32 N>
class string_fixed_t final : public mstring_t {
public:
  string_fixed_t() {
    storage_[0] = 0;
    buffer_ = storage_;
  }
  explicit string_fixed_t(const string& text) : string_fixed_t() { set(text); }
  string_fixed_t(const string_fixed_t& other) : string_fixed_t() { set(other); }
  string_fixed_t& operator=(const string_fixed_t& other) {
    if (this != &other) set(other);
    return *this;
  }
  bool can_grow() const override { return false; }
  void reserve(u32) override {}
  u32 capacity() const override { return N; }

private:
  char storage_[N];
};

using string_path_t = string_fixed_t<256>;
using string_short_t = string_fixed_t<32>;

// Path helpers; separators are '/' and '\\'.
bool join_path(mstring_t& out, const string& first, const string& second);
void strip_trailing_separator(mstring_t& s);
u32 find_last_separator(const string& s);
void strip_extension(const string& path, mstring_t* out);
void get_file_stem(const string& path, mstring_t* out);
bool is_path_prefix(const string& prefix, const string& path);

// 64 upper-case hexadecimal digits of a 32-byte digest.
void to_hex(mstring_t& out, const u8 digest[32]);

} // namespace orvo
