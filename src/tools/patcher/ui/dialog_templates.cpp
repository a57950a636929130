#include "tools/patcher/ui/dialog_templates.h"

namespace orvo::ui {

namespace {

using enum control_kind_t;

constexpr i32 button_width = 80;
constexpr i32 button_height = 14;
// Room for the longest failure text (the critical one, with the log's path) in every language.
constexpr i32 frame_width = 350;
constexpr i32 frame_height = 110;
constexpr i32 button_top = frame_height - 21;

constexpr control_template_t welcome_controls[] = {
    {1007, static_text, 7, 7, 340, 77},
    {1008, drop_down_list, 7, 90, 120, 91},
    {1000, button, 170, button_top, button_width, button_height},
    {1002, button, 263, button_top, button_width, button_height},
};

constexpr control_template_t success_controls[] = {
    {1007, static_text, 7, 7, 336, 81},
    {1002, default_button, 263, button_top, button_width, button_height},
};

constexpr control_template_t verification_controls[] = {
    {1005, static_text, 7, 7, 337, 18},
    {1006, progress_bar, 7, 27, 336, 14},
    {1003, default_button, 263, button_top, button_width, button_height},
};

constexpr control_template_t operation_controls[] = {
    {1005, static_text, 7, 7, 337, 19},
    {1007, progress_bar, 7, 29, 336, 10},
    {1006, progress_bar, 7, 45, 336, 10},
    {1003, button, 263, button_top, button_width, button_height},
};

constexpr control_template_t free_space_controls[] = {
    {1007, static_text, 40, 7, 305, 82},
    {1001, button, 77, button_top, button_width, button_height},
    {1000, button, 170, button_top, button_width, button_height},
    {1002, button, 263, button_top, button_width, button_height},
};

constexpr control_template_t failure_controls[] = {
    {1007, static_text, 40, 7, 303, 81},
    {1002, button, 263, button_top, button_width, button_height},
};

template <u32 N>
constexpr dialog_template_t page_template(u32 id, const control_template_t (&controls)[N]) {
  return {id, frame_width, frame_height, controls, N};
}

} // namespace

const dialog_template_t dialog_templates[7] = {
    {101, frame_width, frame_height, nullptr, 0},
    page_template(102, welcome_controls),
    page_template(103, success_controls),
    page_template(105, verification_controls),
    page_template(108, operation_controls),
    page_template(109, free_space_controls),
    page_template(110, failure_controls),
};

const dialog_template_t* find_dialog_template(u32 id) {
  for (const dialog_template_t& t : dialog_templates)
    if (t.id == id) return &t;
  return nullptr;
}

} // namespace orvo::ui
