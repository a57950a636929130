#include "fake_transaction_manager.h"

#include "ovcore/strings/text_encoding.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvo::analysis {

namespace {

fake_transaction_manager_t* current = nullptr;

std::string narrow(const wchar16_t* text) {
  string_dyn_t out;
  EXPECT_TRUE(utf16_to_utf8(out, text, 512));
  return out.c_str();
}

std::filesystem::path native(const std::string& utf8) {
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

} // namespace

fake_transaction_manager_t::fake_transaction_manager_t() {
  current = this;
  functions_.create_transaction = [](const wchar16_t*) -> transaction_handle_t {
    if (current->fails(create)) return nullptr;
    ++current->transactions_created;
    ++current->open_handles;
    current->pending_.clear();
    return &current->transaction_;
  };
  functions_.commit_transaction = [](transaction_handle_t) {
    if (current->fails(commit)) return false;
    current->commit_pending();
    return true;
  };
  functions_.rollback_transaction = [](transaction_handle_t) {
    ADD_FAILURE() << "the explicit rollback is never called";
    return false;
  };
  functions_.open_probe_file = [](const wchar16_t*, bool write, transaction_handle_t) -> transaction_handle_t {
    if (current->fails(write ? probe_write : probe_read)) return nullptr;
    ++current->probes;
    ++current->open_handles;
    return &current->probe_;
  };
  functions_.move_file = [](const wchar16_t* from, const wchar16_t* to, transaction_handle_t) {
    if (current->fails(move)) return false;
    current->pending_.push_back({true, narrow(from), narrow(to)});
    return true;
  };
  functions_.delete_file = [](const wchar16_t* path, transaction_handle_t) {
    if (current->fails(remove)) return false;
    current->pending_.push_back({false, "", narrow(path)});
    return true;
  };
  functions_.clear_read_only = [](const wchar16_t*, transaction_handle_t) { return true; };
  // Closing the transaction drops what was not committed.
  functions_.close_handle = [](transaction_handle_t handle) {
    if (handle == &current->transaction_) current->pending_.clear();
    --current->open_handles;
  };
  functions_.last_error = [] { return current->last_error_; };
}

fake_transaction_manager_t::~fake_transaction_manager_t() { current = nullptr; }

bool fake_transaction_manager_t::fails(call_t call) {
  if (failing_ != call) return false;
  last_error_ = error_;
  return true;
}

void fake_transaction_manager_t::commit_pending() {
  for (const operation_t& operation : pending_) {
    std::error_code error;
    if (operation.is_move) std::filesystem::rename(native(operation.from), native(operation.to), error);
    else std::filesystem::remove(native(operation.to), error);
    EXPECT_FALSE(error) << operation.from << " -> " << operation.to;
  }
  pending_.clear();
  ++commits;
}

} // namespace orvo::analysis
