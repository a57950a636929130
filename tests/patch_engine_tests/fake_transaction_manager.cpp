#include "fake_transaction_manager.h"

#include "ovcore/strings/text_encoding.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvo::analysis {

namespace {

std::string narrow(const wchar16_t* text) {
  string_dyn_t out;
  EXPECT_TRUE(utf16_to_utf8(out, text, 512));
  return out.c_str();
}

std::filesystem::path native(const std::string& utf8) {
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

} // namespace

fake_transaction_manager_t* fake_transaction_manager_t::current = nullptr;

fake_transaction_manager_t::fake_transaction_manager_t()
    : functions_{create_transaction, commit_transaction, rollback_transaction, open_probe_file, move_file,
                 delete_file,        clear_read_only,    close_handle,         last_error} {
  current = this;
}

fake_transaction_manager_t::~fake_transaction_manager_t() { current = nullptr; }

bool fake_transaction_manager_t::fails(call_t call) {
  if (current->failing_ != call) return false;
  current->last_error_ = current->error_;
  return true;
}

transaction_handle_t fake_transaction_manager_t::create_transaction(const wchar16_t*) {
  if (fails(create)) return nullptr;
  ++current->transactions_created;
  ++current->open_handles;
  current->pending_.clear();
  return &current->handles_[0];
}

bool fake_transaction_manager_t::commit_transaction(transaction_handle_t) {
  if (fails(commit)) return false;
  for (const operation_t& operation : current->pending_) {
    std::error_code error;
    if (operation.is_move) std::filesystem::rename(native(operation.from), native(operation.to), error);
    else std::filesystem::remove(native(operation.to), error);
    EXPECT_FALSE(error) << operation.from << " -> " << operation.to;
  }
  current->pending_.clear();
  ++current->commits;
  return true;
}

bool fake_transaction_manager_t::rollback_transaction(transaction_handle_t) {
  ADD_FAILURE() << "the explicit rollback is never called";
  return false;
}

transaction_handle_t fake_transaction_manager_t::open_probe_file(const wchar16_t*, bool write,
                                                                 transaction_handle_t) {
  if (fails(write ? probe_write : probe_read)) return nullptr;
  ++current->probes;
  ++current->open_handles;
  return &current->handles_[1];
}

bool fake_transaction_manager_t::move_file(const wchar16_t* from, const wchar16_t* to, transaction_handle_t) {
  if (fails(move)) return false;
  current->pending_.push_back({true, narrow(from), narrow(to)});
  return true;
}

bool fake_transaction_manager_t::delete_file(const wchar16_t* path, transaction_handle_t) {
  if (fails(remove)) return false;
  current->pending_.push_back({false, "", narrow(path)});
  return true;
}

bool fake_transaction_manager_t::clear_read_only(const wchar16_t*, transaction_handle_t) { return true; }

// Closing the transaction drops what was not committed.
void fake_transaction_manager_t::close_handle(transaction_handle_t handle) {
  if (handle == &current->handles_[0]) current->pending_.clear();
  --current->open_handles;
}

u32 fake_transaction_manager_t::last_error() { return current->last_error_; }

} // namespace orvo::analysis
