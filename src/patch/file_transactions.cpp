#include "patch/file_transactions.h"

#include "ovcore/messages/messages.h"
#include "ovcore/strings/text_encoding.h"

namespace orvo::patch {

namespace {

constexpr u32 error_transactional_open_not_allowed = 6832;
constexpr u32 error_efs_not_allowed_in_transaction = 6831;
constexpr u32 error_transactions_unsupported_remote = 6805;
constexpr u32 error_rm_not_active = 6801;

transaction_functions_t platform_functions;
const transaction_functions_t* active_functions = nullptr;

// Closes a transaction or probe file when it goes out of scope; declared in the order opposite
// to the closing, so probe files close before their transaction.
class scoped_handle_t {
public:
  scoped_handle_t(const transaction_functions_t& functions, transaction_handle_t handle)
      : functions_(functions), handle_(handle) {}
  ~scoped_handle_t() {
    if (handle_) functions_.close_handle(handle_);
  }
  scoped_handle_t(const scoped_handle_t&) = delete;
  scoped_handle_t& operator=(const scoped_handle_t&) = delete;
  transaction_handle_t get() const { return handle_; }

private:
  const transaction_functions_t& functions_;
  transaction_handle_t handle_;
};

bool to_wide(wide_buffer_t& out, const string& text) {
  if (utf8_to_utf16(out, text)) return true;
  log_error("[ERR] Unable to convert to utf16");
  return false;
}

// The read and write probes of one file; false when the file refuses transactions.
bool probe_file(const transaction_functions_t& functions, transaction_handle_t transaction,
                const file_patching_info_t& info) {
  wide_buffer_t path;
  if (!to_wide(path, info.path)) return false;
  scoped_handle_t read(functions, functions.open_probe_file(path.data(), false, transaction));
  if (!read.get()) {
    const u32 error = functions.last_error();
    if (refuses_transactions(error)) {
      log_info("Transactions not supported during read probe '%s': %08X", info.path.c_str(), error);
      return false;
    }
  }
  string_dyn_t temporary;
  temporary.format("%s.tmp.0", info.path.c_str());
  wide_buffer_t temporary_wide;
  if (!to_wide(temporary_wide, temporary)) return false;
  scoped_handle_t write(functions, functions.open_probe_file(temporary_wide.data(), true, transaction));
  if (!write.get()) {
    const u32 error = functions.last_error();
    if (refuses_transactions(error)) {
      log_info("Transactions not supported during write probe '%s': %08X", temporary.c_str(), error);
      return false;
    }
  }
  return true;
}

} // namespace

bool refuses_transactions(u32 error) {
  return error == error_transactional_open_not_allowed || error == error_efs_not_allowed_in_transaction ||
         error == error_transactions_unsupported_remote || error == error_rm_not_active;
}

void load_transaction_entry_points() {
  if (platform::load_transaction_functions(platform_functions)) {
    active_functions = &platform_functions;
    log_info("Support for transactions available");
  } else {
    active_functions = nullptr;
    log_info("Unable to locate transaction entrypoints");
  }
}

void clear_transaction_entry_points() { active_functions = nullptr; }

void set_transaction_entry_points(const transaction_functions_t* functions) { active_functions = functions; }

const transaction_functions_t* transaction_entry_points() { return active_functions; }

bool probe_transactions(const patching_infos_t& infos) {
  log_info("Verifying support for transactions");
  const transaction_functions_t* functions = active_functions;
  if (!functions) {
    log_info("Transaction support not initialized");
    return false;
  }
  wide_buffer_t description;
  utf8_to_utf16(description, "Transaction support test.");
  scoped_handle_t transaction(*functions, functions->create_transaction(description.data()));
  if (!transaction.get()) {
    log_error("[ERR] Unable to create transaction: %08X", functions->last_error());
    return false;
  }
  for (const auto_ptr_t<file_patching_info_t>& info : infos) {
    if (info->action == patch_action_t::unchanged) continue;
    if (!probe_file(*functions, transaction.get(), *info)) return false;
  }
  log_info("Transactions supported");
  return true;
}

} // namespace orvo::patch
