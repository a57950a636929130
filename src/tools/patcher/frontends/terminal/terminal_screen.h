#pragma once
#include "ovcore/types.h"

#include <cwchar>

struct screen;

namespace orvo::ui {

enum class key_kind_t : u32 {
  character, enter, escape, next, previous, up, down, first, last, page_up, page_down, open_list, resize, other
};

// A key as the front end understands it; character carries the typed character.
struct terminal_key_t {
  key_kind_t kind = key_kind_t::other;
  u32 character = 0;
};

// The curses session on the process's terminal (standard input and output).
class terminal_screen_t {
public:
  terminal_screen_t() = default;
  terminal_screen_t(const terminal_screen_t&) = delete;
  terminal_screen_t& operator=(const terminal_screen_t&) = delete;
  ~terminal_screen_t();

  // False (logged) when the terminal cannot be driven.
  bool start();
  // False when no key is waiting.
  bool read_key(terminal_key_t& key);
  // The next paint rewrites every cell, as after a resize.
  void invalidate();

private:
  ::screen* screen_ = nullptr;
};

} // namespace orvo::ui
