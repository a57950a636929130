#include "patch/apply_patch.h"

#include "ovcore/crypto/file_hash.h"
#include "ovcore/messages/messages.h"
#include "ovcore/strings/text_encoding.h"
#include "ovcore/thread/sync.h"
#include "ovcore/ufs/file_system.h"
#include "patch/block_header.h"
#include "patch/file_name_key.h"
#include "patch/file_transactions.h"
#include "patch/progress_relay.h"

#include <algorithm>
#include <cstring>

namespace orvo::patch {

u32 temporary_removal_retry_ms = 1000;

namespace {

using result_t = apply_patch_result_t;
using extract_t = extract_diff_result_t;

constexpr u32 temporary_removal_attempts = 10;

// What a failed extraction means for the patch, and the line that says so.
struct extraction_outcome_t {
  extract_t extraction;
  result_t result;
  const char* message;
};
constexpr extraction_outcome_t extraction_outcomes[] = {
    {extract_t::aborted, result_t::aborted, nullptr},
    {extract_t::internal_error, result_t::internal_error, nullptr},
    {extract_t::unsupported_method, result_t::corrupted_patch,
     "[ERR] Unsupported algorithm - patch not found while patching"},
    {extract_t::not_found, result_t::internal_error, "[ERR] Inconsistent query result - patch not found while patching"},
    {extract_t::wrong_key, result_t::internal_error, "[ERR] Incorrect key provided"},
    {extract_t::no_key, result_t::internal_error, "[ERR] No key provided"},
    {extract_t::container_read_error, result_t::read_error, nullptr},
    {extract_t::data_read_error, result_t::read_error, nullptr},
    {extract_t::write_error, result_t::write_error, nullptr},
    {extract_t::corrupted, result_t::corrupted_patch, nullptr},
    {extract_t::size_mismatch, result_t::corrupted_patch, nullptr},
};

result_t outcome_of(extract_t extraction) {
  for (const extraction_outcome_t& outcome : extraction_outcomes) {
    if (outcome.extraction != extraction) continue;
    if (outcome.message) log_error("%s", outcome.message);
    return outcome.result;
  }
  return result_t::internal_error;
}

void temporary_name(string_dyn_t& out, const string& path, u32 step) { out.format("%s.tmp.%u", path.c_str(), step); }

// Temporaries a record writes: one per diff of its chain, one for an empty file.
u32 temporary_count(const file_patching_info_t& info) {
  if (info.action == patch_action_t::patch) return info.chain.size();
  return info.action == patch_action_t::set_to_zero ? 1 : 0;
}

bool convertible(const string& text) {
  wide_buffer_t wide;
  if (utf8_to_utf16(wide, text)) return true;
  log_error("[ERR] Unable to convert to utf16");
  return false;
}

// Closes the transaction on every way out; one that was not committed is rolled back.
class transaction_scope_t {
public:
  ~transaction_scope_t() {
    if (handle) functions->close_handle(handle);
  }
  const transaction_functions_t* functions = nullptr;
  transaction_handle_t handle = nullptr;
};

// One run of apply_patch_internal.
class application_t {
public:
  application_t(array_t<string_dyn_t>& temporaries, patching_infos_t& infos, const container_pool_t& pool,
                progress_callback_t* callback)
      : temporaries_(temporaries), infos_(infos), pool_(pool), callback_(callback), relay_(callback) {}

  result_t run();

private:
  void count_units();
  result_t check_names();
  result_t rebuild(file_patching_info_t& info);
  result_t apply_step(file_patching_info_t& info, const content_hash_t& diff_id, u32 step);
  result_t create_empty_files();
  result_t verify_rebuilt_files();
  result_t finalize();
  result_t begin_transaction(transaction_scope_t& transaction);
  result_t finalize_entry(file_patching_info_t& info, const transaction_scope_t& transaction);
  result_t delete_entry(file_patching_info_t& info, const transaction_scope_t& transaction);
  result_t move_entry(file_patching_info_t& info, const transaction_scope_t& transaction);
  void unit_done() { relay_.set_step_base(++units_done_); }

  array_t<string_dyn_t>& temporaries_;
  patching_infos_t& infos_;
  const container_pool_t& pool_;
  progress_callback_t* callback_;
  progress_relay_t relay_;
  bool transactions_ = false;
  u64 units_total_ = 1;
  u64 units_done_ = 0;
  u64 touched_ = 0;
  // Set by the first change made without a transaction: later failures are critical.
  bool changed_without_transaction_ = false;
};

void application_t::count_units() {
  for (const auto_ptr_t<file_patching_info_t>& info : infos_) {
    switch (info->action) {
    case patch_action_t::unchanged: break;
    case patch_action_t::delete_file:
    case patch_action_t::set_to_zero:
      units_total_ += 1;
      ++touched_;
      break;
    case patch_action_t::patch:
      units_total_ += 2 * static_cast<u64>(info->chain.size());
      ++touched_;
      break;
    default: ORVO_CHECK(false, "Unknown action.");
    }
  }
  relay_.set_step_base(units_done_);
  relay_.set_step_count(units_total_);
}

// Before anything is created: no temporary may bear the name of a file of the installation,
// and every name finalization will hand to the platform must convert, so that finalization
// cannot fail for a reason known now.
result_t application_t::check_names() {
  array_dyn_t<string_dyn_t> layout_keys;
  for (const auto_ptr_t<file_patching_info_t>& info : infos_) {
    string_dyn_t key;
    file_name_key(key, info->path);
    layout_keys.push_move(key);
  }
  auto by_bytes = [](const string_dyn_t& a, const string_dyn_t& b) { return std::strcmp(a.c_str(), b.c_str()) < 0; };
  std::sort(layout_keys.begin(), layout_keys.end(), by_bytes);
  for (const auto_ptr_t<file_patching_info_t>& info : infos_) {
    if (info->action == patch_action_t::unchanged) continue;
    if (!convertible(info->path)) return result_t::internal_error;
    for (u32 step = 0; step < temporary_count(*info); ++step) {
      string_dyn_t name, key;
      temporary_name(name, info->path, step);
      if (!convertible(name)) return result_t::internal_error;
      file_name_key(key, name);
      if (std::binary_search(layout_keys.begin(), layout_keys.end(), key, by_bytes)) {
        log_error("[ERR] Temporary file '%s' would replace a file of the installation", name.c_str());
        return result_t::internal_error;
      }
    }
  }
  return result_t::ok;
}

result_t application_t::apply_step(file_patching_info_t& info, const content_hash_t& diff_id, u32 step) {
  string_dyn_t name;
  temporary_name(name, info.path, step);
  auto_ptr_t<file_t> previous = static_cast<auto_ptr_t<file_t>&&>(info.output_file);
  info.output_file = open_file_create(name);
  if (!info.output_file) {
    log_error("[ERR] Unable to create file '%s'", name.c_str());
    return result_t::unable_to_create_file;
  }
  temporaries_.push(name);
  file_t* source = step == 0 ? info.source_file.get() : previous.get();
  log_info("    Applying %s '%s' -> '%s'", diff_id.text().c_str(), source ? source->name().c_str() : "empty",
           name.c_str());
  const extract_t extraction = pool_.extract_diff(info.output_file, source, diff_id, &relay_);
  if (extraction != extract_t::ok) return outcome_of(extraction);
  if (previous) {
    string_dyn_t previous_name(previous->name());
    previous.reset();
    delete_file(previous_name);
  }
  unit_done();
  return result_t::ok;
}

result_t application_t::rebuild(file_patching_info_t& info) {
  log_info("  Patching '%s'", info.path.c_str());
  for (u32 step = 0; step < info.chain.size(); ++step) {
    const result_t result = apply_step(info, info.chain[step], step);
    if (result != result_t::ok) return result;
  }
  return result_t::ok;
}

result_t application_t::create_empty_files() {
  task_progress_t progress;
  progress.stage_id = stage_extraction;
  progress.bytes_total = 1;
  for (const auto_ptr_t<file_patching_info_t>& info : infos_) {
    if (info->action != patch_action_t::set_to_zero) continue;
    progress.bytes_done = 0;
    if (!relay_.call(progress)) return result_t::aborted;
    string_dyn_t name;
    temporary_name(name, info->path, 0);
    info->output_file = open_file_create(name);
    if (!info->output_file) {
      log_error("[ERR] Unable to create file '%s'", name.c_str());
      return result_t::unable_to_create_file;
    }
    temporaries_.push(name);
    unit_done();
    progress.bytes_done = 1;
    if (!relay_.call(progress)) return result_t::aborted;
  }
  return result_t::ok;
}

result_t application_t::verify_rebuilt_files() {
  task_progress_t progress;
  progress.stage_id = stage_extraction;
  for (const auto_ptr_t<file_patching_info_t>& info : infos_) {
    if (info->action != patch_action_t::patch) continue;
    content_hash_t digest;
    const u32 hashed = compute_file_hash(digest, *info->output_file, &relay_, &progress);
    if (hashed == 1) return result_t::read_error;
    if (hashed != 0) return result_t::aborted;
    if (!(digest == info->expected_hash)) {
      log_error("[ERR] Content mismatch for file '%s', expected %s, got %s", info->path.c_str(),
                info->expected_hash.text().c_str(), digest.text().c_str());
      return result_t::inconsistent_output;
    }
    unit_done();
  }
  return result_t::ok;
}

result_t application_t::begin_transaction(transaction_scope_t& transaction) {
  transaction.functions = transaction_entry_points();
  if (!transactions_ || !transaction.functions) {
    log_warning("[WRN] Transactions are not used");
    return result_t::ok;
  }
  wide_buffer_t description;
  utf8_to_utf16(description, "Game patch update");
  transaction.handle = transaction.functions->create_transaction(description.data());
  if (!transaction.handle) {
    log_error("[ERR] Unable to create transaction: %08X", transaction.functions->last_error());
    return result_t::transaction_failed;
  }
  log_info("Transaction started");
  return result_t::ok;
}

// A file to delete that is already gone is the state the delete wants.
bool is_absent(const string& path) { return !stat_path(path, nullptr); }

// Deletes inside the transaction when there is one, plainly otherwise; a read-only file is made
// writable first. error receives the platform's reason of a failure.
bool delete_installed(const transaction_scope_t& transaction, const wide_buffer_t& wide_path, const string& path,
                      u32& error) {
  if (transaction.handle) {
    const transaction_functions_t& functions = *transaction.functions;
    const bool deleted = functions.clear_read_only(wide_path.data(), transaction.handle) &&
                         functions.delete_file(wide_path.data(), transaction.handle);
    error = deleted ? 0 : functions.last_error();
    return deleted;
  }
  clear_read_only(path);
  const bool deleted = delete_file(path);
  error = deleted ? 0 : last_file_error();
  return deleted;
}

// Moves a temporary over the installed file, in the same way.
bool replace_installed(const transaction_scope_t& transaction, const wide_buffer_t& wide_from,
                       const wide_buffer_t& wide_to, const string& from, const string& to, u32& error) {
  if (transaction.handle) {
    const transaction_functions_t& functions = *transaction.functions;
    const bool moved = functions.clear_read_only(wide_to.data(), transaction.handle) &&
                       functions.move_file(wide_from.data(), wide_to.data(), transaction.handle);
    error = moved ? 0 : functions.last_error();
    return moved;
  }
  clear_read_only(to);
  const bool moved = move(from, to, true);
  error = moved ? 0 : last_file_error();
  return moved;
}

result_t application_t::delete_entry(file_patching_info_t& info, const transaction_scope_t& transaction) {
  info.source_file.reset();
  log_info("    Deleting '%s'", info.path.c_str());
  wide_buffer_t path;
  if (!utf8_to_utf16(path, info.path)) {
    log_error("[ERR] Unable to convert to utf16");
    return result_t::internal_error;
  }
  u32 error = 0;
  if (delete_installed(transaction, path, info.path, error)) return result_t::ok;
  if (is_absent(info.path)) {
    log_info("    '%s' is already absent", info.path.c_str());
    return result_t::ok;
  }
  if (transaction.handle) {
    log_error("[ERR] Unable to delete file '%s' in transaction: %08X", info.path.c_str(), error);
    return result_t::unable_to_delete_file;
  }
  log_error("[ERR] Unable to delete file '%s', instalation is now likely corrupted: %08X", info.path.c_str(), error);
  return result_t::critical_unable_to_delete_file;
}

result_t application_t::move_entry(file_patching_info_t& info, const transaction_scope_t& transaction) {
  info.source_file.reset();
  string_dyn_t temporary(info.output_file->name());
  log_info("    Moving '%s' => '%s'", temporary.c_str(), info.path.c_str());
  info.output_file.reset();
  wide_buffer_t from, to;
  if (!utf8_to_utf16(from, temporary) || !utf8_to_utf16(to, info.path)) {
    log_error("[ERR] Unable to convert to utf16");
    return result_t::internal_error;
  }
  u32 error = 0;
  if (replace_installed(transaction, from, to, temporary, info.path, error)) return result_t::ok;
  if (transaction.handle) {
    log_error("[ERR] Unable to move file '%s' -> '%s' in transaction: %08X", temporary.c_str(), info.path.c_str(),
              error);
    return result_t::unable_to_move_file;
  }
  log_error("[ERR] Unable to move file '%s' -> '%s', instalation is now likely corrupted: %08X", temporary.c_str(),
            info.path.c_str(), error);
  return result_t::critical_unable_to_move_file;
}

result_t application_t::finalize_entry(file_patching_info_t& info, const transaction_scope_t& transaction) {
  result_t result = result_t::ok;
  switch (info.action) {
  case patch_action_t::unchanged: return result_t::ok;
  case patch_action_t::delete_file: result = delete_entry(info, transaction); break;
  default: result = move_entry(info, transaction); break;
  }
  // Past the first plain change the installation is no longer as it was.
  if (result == result_t::internal_error && changed_without_transaction_) return result_t::critical_internal_error;
  if (result == result_t::ok && !transaction.handle) changed_without_transaction_ = true;
  return result;
}

result_t application_t::finalize() {
  task_progress_t progress;
  progress.stage_id = finalization_marker;
  progress.bytes_total = touched_;
  if (!relay_.call(progress)) return result_t::aborted;
  log_info("Finalizing the patch");
  transaction_scope_t transaction;
  const result_t begun = begin_transaction(transaction);
  if (begun != result_t::ok) return begun;
  for (const auto_ptr_t<file_patching_info_t>& info : infos_) {
    if (info->action == patch_action_t::unchanged) continue;
    const result_t result = finalize_entry(*info, transaction);
    if (result != result_t::ok) return result;
    progress.bytes_done = std::min(progress.bytes_done + 1, progress.bytes_total);
    relay_.call(progress);
  }
  if (transaction.handle) {
    if (!transaction.functions->commit_transaction(transaction.handle)) {
      log_error("[ERR] Unable to commit transaction: %08X", transaction.functions->last_error());
      return result_t::transaction_failed;
    }
    log_info("Transaction commited");
  }
  return result_t::ok;
}

result_t application_t::run() {
  transactions_ = probe_transactions(infos_);
  log_info("Applying patch");
  count_units();
  result_t result = check_names();
  for (u32 i = 0; result == result_t::ok && i < infos_.size(); ++i)
    if (infos_[i]->action == patch_action_t::patch) result = rebuild(*infos_[i]);
  if (result == result_t::ok) result = create_empty_files();
  if (result == result_t::ok) result = verify_rebuilt_files();
  if (result == result_t::ok) result = finalize();
  if (result != result_t::ok) return result;
  report_progress(callback_, task_progress_t());
  log_info("Patch applied");
  return result_t::ok;
}

void remove_temporary(const string_dyn_t& name) {
  file_info_t info;
  for (u32 failures = 0; stat_path(name, &info) && info.kind == file_kind_file;) {
    log_info("Removing temporary file '%s'", name.c_str());
    if (delete_file(name)) return;
    log_error("[ERR] Unable to remove file '%s'", name.c_str());
    if (++failures == temporary_removal_attempts) return;
    thread::sleep_ms(temporary_removal_retry_ms);
  }
}

} // namespace

apply_patch_result_t apply_patch_internal(array_t<string_dyn_t>& temporaries, patching_infos_t& infos,
                                          const container_pool_t& pool, progress_callback_t* callback) {
  application_t application(temporaries, infos, pool, callback);
  return application.run();
}

apply_patch_result_t apply_patch(patching_infos_t& infos, const container_pool_t& pool,
                                 progress_callback_t* callback) {
  array_dyn_t<string_dyn_t> temporaries;
  const apply_patch_result_t result = apply_patch_internal(temporaries, infos, pool, callback);
  infos.clear();
  for (const string_dyn_t& name : temporaries) remove_temporary(name);
  return result;
}

} // namespace orvo::patch
