#define NCURSES_NOMACROS
#include "tools/patcher/frontends/terminal/screen_painter.h"

#include "tools/patcher/frontends/terminal/page_focus.h"
#include "tools/patcher/frontends/terminal/text_layout.h"

#include <algorithm>
#include <curses.h>

namespace orvo::ui {

namespace {

constexpr i32 margin = 2;
constexpr i32 icon_gutter = 4;
constexpr i32 item_gap = 2;
constexpr i32 question_width = 64;

struct area_t {
  i32 top, left, height, width;
};

void put(i32 row, i32 column, const std::wstring& text, i32 columns, attr_t attributes = A_NORMAL) {
  if (columns <= 0 || row < 0 || row >= LINES) return;
  const std::wstring shown = fit_columns(text, columns);
  wattr_on(stdscr, attributes, nullptr);
  mvwaddnwstr(stdscr, row, column, shown.c_str(), static_cast<int>(shown.size()));
  wattr_off(stdscr, attributes, nullptr);
}

void draw_box(const area_t& box) {
  for (i32 row = box.top; row < box.top + box.height; ++row) mvwhline(stdscr, row, box.left, ' ', box.width);
  mvwhline(stdscr, box.top, box.left + 1, ACS_HLINE, box.width - 2);
  mvwhline(stdscr, box.top + box.height - 1, box.left + 1, ACS_HLINE, box.width - 2);
  mvwvline(stdscr, box.top + 1, box.left, ACS_VLINE, box.height - 2);
  mvwvline(stdscr, box.top + 1, box.left + box.width - 1, ACS_VLINE, box.height - 2);
  mvwaddch(stdscr, box.top, box.left, ACS_ULCORNER);
  mvwaddch(stdscr, box.top, box.left + box.width - 1, ACS_URCORNER);
  mvwaddch(stdscr, box.top + box.height - 1, box.left, ACS_LLCORNER);
  mvwaddch(stdscr, box.top + box.height - 1, box.left + box.width - 1, ACS_LRCORNER);
}

void paint_caption(const std::string& caption) {
  mvwhline(stdscr, 0, 0, ' ' | A_REVERSE, COLS);
  put(0, 1, to_wide(caption), COLS - 2, A_REVERSE | A_BOLD);
}

std::wstring progress_line(const record_control_t& bar, i32 columns) {
  const u32 percent = bar.upper == 0 ? 0 : static_cast<u32>(u64(std::min(bar.position, bar.upper)) * 100 / bar.upper);
  const std::wstring label = L" " + std::to_wstring(percent) + L"%";
  const i32 inside = std::max(columns - 2 - static_cast<i32>(label.size()), 0);
  const i32 filled = inside * static_cast<i32>(percent) / 100;
  return L"[" + std::wstring(static_cast<u32>(filled), L'#') + std::wstring(static_cast<u32>(inside - filled), L'.') +
         L"]" + label;
}

// Texts and bars from the top, one blank line between them; the icon marks the first line.
void paint_body(const window_record_t& page, const area_t& body) {
  const wchar_t* mark = !page.icon.drawn ? L"" : page.icon.icon == standard_icon_t::error ? L"(X)" : L"(!)";
  const i32 gutter = page.icon.drawn ? icon_gutter : 0;
  put(body.top, body.left, mark, gutter);
  const i32 left = body.left + gutter, width = body.width - gutter;
  i32 row = body.top;
  for (const record_control_t& c : page.controls) {
    if (!c.visible || row >= body.top + body.height) continue;
    if (c.kind == control_kind_t::static_text) {
      for (const std::wstring& line : wrap_text(to_wide(c.text), width))
        if (row < body.top + body.height) put(row++, left, line, width);
    } else if (c.kind == control_kind_t::progress_bar) {
      put(row++, left, progress_line(c, width), width);
    } else {
      continue;
    }
    ++row;
  }
}

struct item_t {
  u32 id;
  std::wstring label;
  bool enabled;
};

std::vector<item_t> bottom_items(const window_record_t& page) {
  std::vector<item_t> items;
  for (const record_control_t& c : page.controls) {
    if (!c.visible) continue;
    if (c.kind == control_kind_t::drop_down_list) {
      const std::string chosen = c.selection < 0 ? std::string() : c.entries[static_cast<u32>(c.selection)].text;
      items.push_back({c.id, L"< " + to_wide(chosen) + L" >", c.enabled});
    } else if (c.kind == control_kind_t::button || c.kind == control_kind_t::default_button) {
      items.push_back({c.id, L"[ " + to_wide(c.text) + L" ]", c.enabled});
    }
  }
  return items;
}

// Rows the items take when laid out left to right and wrapped at width.
i32 item_rows(const std::vector<item_t>& items, i32 width) {
  i32 rows = items.empty() ? 0 : 1, used = 0;
  for (const item_t& item : items) {
    const i32 columns = text_columns(item.label);
    if (used > 0 && used + item_gap + columns > width) {
      ++rows;
      used = 0;
    }
    used += (used > 0 ? item_gap : 0) + columns;
  }
  return rows;
}

void paint_items(const std::vector<item_t>& items, const area_t& area, u32 focus) {
  i32 row = area.top, used = 0;
  for (const item_t& item : items) {
    const i32 columns = text_columns(item.label);
    if (used > 0 && used + item_gap + columns > area.width) {
      ++row;
      used = 0;
    }
    if (used > 0) used += item_gap;
    const attr_t look = !item.enabled ? A_DIM : item.id == focus ? A_REVERSE | A_BOLD : A_NORMAL;
    put(row, area.left + used, item.label, area.width - used, look);
    used += columns;
  }
}

void paint_list_popup(const window_record_t& page, const list_popup_t& popup, i32 bottom) {
  const record_control_t* list = nullptr;
  for (const record_control_t& c : page.controls)
    if (c.kind == control_kind_t::drop_down_list) list = &c;
  if (!list || list->entries.empty()) return;
  i32 widest = 0;
  for (const record_list_entry_t& e : list->entries) widest = std::max(widest, text_columns(to_wide(e.text)));
  const i32 count = static_cast<i32>(list->entries.size());
  const i32 shown = std::max(std::min(count, bottom - 3), 1);
  const area_t box{std::max(bottom - shown - 2, 1), margin - 1, shown + 2, std::min(widest + 4, COLS - margin)};
  draw_box(box);
  const i32 first = std::clamp(popup.highlighted - shown / 2, 0, std::max(count - shown, 0));
  for (i32 i = 0; i < shown && first + i < count; ++i) {
    const std::wstring text = to_wide(list->entries[static_cast<u32>(first + i)].text);
    const attr_t look = first + i == popup.highlighted ? A_REVERSE : A_NORMAL;
    put(box.top + 1 + i, box.left + 2, text + std::wstring(static_cast<u32>(std::max(widest - text_columns(text), 0)), L' '),
        box.width - 4, look);
  }
}

void paint_question(const question_view_t& question) {
  const i32 width = std::min(question_width, COLS - 2);
  if (width < 8) return;
  std::vector<std::wstring> lines = wrap_text(to_wide(question.text), width - 4);
  lines.resize(static_cast<u32>(std::clamp(static_cast<i32>(lines.size()), 0, std::max(LINES - 6, 1))));
  const i32 height = static_cast<i32>(lines.size()) + 4;
  const area_t box{std::max((LINES - height) / 2, 0), (COLS - width) / 2, height, width};
  draw_box(box);
  put(box.top, box.left + 2, L" " + to_wide(question.caption) + L" ", width - 4, A_BOLD);
  for (u32 i = 0; i < lines.size(); ++i) put(box.top + 1 + static_cast<i32>(i), box.left + 2, lines[i], width - 4);
  const std::vector<item_t> choices = {{1, L"[ Yes ]", true}, {0, L"[ No ]", true}};
  paint_items(choices, {box.top + height - 2, box.left + 2, 1, width - 4}, question.yes_focused ? 1 : 0);
}

} // namespace

void paint_screen(const screen_view_t& view) {
  werase(stdscr);
  paint_caption(view.caption);
  if (view.page) {
    const i32 width = std::max(COLS - 2 * margin, 1);
    const std::vector<item_t> items = bottom_items(*view.page);
    const i32 rows = item_rows(items, width);
    const i32 items_top = std::max(LINES - 1 - rows, 2);
    paint_body(*view.page, {2, margin, std::max(items_top - 3, 0), width});
    paint_items(items, {items_top, margin, rows, width}, view.focus);
    if (view.popup.open) paint_list_popup(*view.page, view.popup, items_top);
  }
  if (view.question) paint_question(*view.question);
  wrefresh(stdscr);
}

} // namespace orvo::ui
