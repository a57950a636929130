#pragma once
#include "ovcore/types.h"

namespace orvo {

// Every text a player sees, in this order in each language's record.
enum language_key_t : u32 {
  key_language_name,
  key_title_word,
  key_welcome_text,
  key_button_continue,
  key_button_exit,
  key_button_abort,
  key_button_retry,
  key_error_data_integrity,
  key_aborted_text,
  key_files_not_modified,
  key_verifying_text,
  key_game_not_found,
  key_unsupported_version,
  key_analyzing_text,
  key_insufficient_space,
  key_abort_question,
  key_error_create_file,
  key_error_open_file,
  key_error_read_file,
  key_error_write_file,
  key_error_move_delete_file,
  key_error_internal,
  key_installation_corrupted,
  key_update_finished,
  key_already_up_to_date,
  key_patching_text,
  key_another_instance,
  key_no_privileges,
  key_button_continue_anyway,
  key_log_hint,
  key_access_hint,
  key_exit_question,
  key_question_caption,
  key_steam_unsupported,
  language_key_count,
};

// Constant UTF-8 texts indexed by language_key_t.
struct language_record_t {
  const char* texts[language_key_count];

  const char* operator[](language_key_t key) const { return texts[key]; }
};

} // namespace orvo
