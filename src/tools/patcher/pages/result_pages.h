#pragma once
#include "tools/patcher/languages/language_record.h"

namespace orvo {

// A page that ends the run: its exit code in automatic mode and the sentences of its text, joined
// by blanks; failure pages add where the log is.
struct result_page_t {
  u32 id;
  const char* name;
  u32 template_id;
  i32 exit_code;
  language_key_t sentences[3];
  bool points_to_log;
};

// The insufficient-space page and the fifteen pages that end a run, in page order.
extern const result_page_t result_pages[16];

const result_page_t* find_result_page(u32 page_id);

} // namespace orvo
