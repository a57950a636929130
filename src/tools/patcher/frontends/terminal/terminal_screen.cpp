#define NCURSES_NOMACROS
#include "tools/patcher/frontends/terminal/terminal_screen.h"

#include "ovcore/messages/messages.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <curses.h>
#include <langinfo.h>

namespace orvo::ui {

namespace {

// Long enough for an escape sequence to arrive whole, short enough for Escape to feel immediate.
constexpr int escape_delay_ms = 25;

struct key_name_t {
  bool function;
  u32 code;
  key_kind_t kind;
};

constexpr key_name_t key_names[] = {
    {false, '\n', key_kind_t::enter},      {false, '\r', key_kind_t::enter},
    {false, ' ', key_kind_t::enter},        {true, KEY_ENTER, key_kind_t::enter},
    {false, 27, key_kind_t::escape},        {false, '\t', key_kind_t::next},
    {true, KEY_BTAB, key_kind_t::previous}, {true, KEY_UP, key_kind_t::up},
    {true, KEY_DOWN, key_kind_t::down},     {true, KEY_LEFT, key_kind_t::previous},
    {true, KEY_RIGHT, key_kind_t::next},    {true, KEY_HOME, key_kind_t::first},
    {true, KEY_END, key_kind_t::last},      {true, KEY_PPAGE, key_kind_t::page_up},
    {true, KEY_NPAGE, key_kind_t::page_down}, {true, KEY_F(2), key_kind_t::open_list},
    {true, KEY_RESIZE, key_kind_t::resize},
};

terminal_key_t name_key(bool function, u32 code) {
  for (const key_name_t& name : key_names)
    if (name.function == function && name.code == code) return {name.kind, 0};
  return {function ? key_kind_t::other : key_kind_t::character, function ? 0 : code};
}

bool ctype_is_utf8() { return std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0; }

// Wide curses draws UTF-8 only when the character type locale says so.
bool ensure_utf8_ctype() {
  static constexpr const char* candidates[] = {"C.UTF-8", "C.utf8", "en_US.UTF-8"};
  if (ctype_is_utf8()) return true;
  for (const char* name : candidates)
    if (std::setlocale(LC_CTYPE, name) && ctype_is_utf8()) return true;
  return false;
}

} // namespace

terminal_screen_t::~terminal_screen_t() {
  if (!screen_) return;
  endwin();
  delscreen(screen_);
}

bool terminal_screen_t::start() {
  if (!ensure_utf8_ctype()) log_warning("[WRN] No UTF-8 locale: the terminal may show texts wrongly");
  screen_ = newterm(nullptr, stdout, stdin);
  if (!screen_) {
    const char* term = std::getenv("TERM");
    log_error("[ERR] Unable to drive the terminal (TERM=%s)", term ? term : "");
    return false;
  }
  set_term(screen_);
  cbreak();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  curs_set(0);
  set_escdelay(escape_delay_ms);
  wtimeout(stdscr, 0);
  return true;
}

bool terminal_screen_t::read_key(terminal_key_t& key) {
  wint_t code = 0;
  const int kind = wget_wch(stdscr, &code);
  if (kind == ERR) return false;
  key = name_key(kind == KEY_CODE_YES, static_cast<u32>(code));
  return true;
}

void terminal_screen_t::invalidate() { clearok(curscr, TRUE); }

} // namespace orvo::ui
