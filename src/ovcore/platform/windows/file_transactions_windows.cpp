#include "ovcore/platform/file_transactions.h"

#include "ovcore/system/modules.h"

#include <windows.h>

namespace orvo::platform {

namespace {

using create_transaction_t = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPGUID, DWORD, DWORD, DWORD, DWORD, LPWSTR);
using handle_call_t = BOOL(WINAPI*)(HANDLE);
using create_file_transacted_t = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE,
                                                 HANDLE, PUSHORT, PVOID);
using move_file_transacted_t = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, LPPROGRESS_ROUTINE, LPVOID, DWORD, HANDLE);
using delete_file_transacted_t = BOOL(WINAPI*)(LPCWSTR, HANDLE);
using set_attributes_transacted_t = BOOL(WINAPI*)(LPCWSTR, DWORD, HANDLE);

constexpr DWORD transaction_do_not_promote = 1;

struct resolved_t {
  create_transaction_t create_transaction;
  handle_call_t commit_transaction;
  handle_call_t rollback_transaction;
  create_file_transacted_t create_file_transacted;
  move_file_transacted_t move_file_transacted;
  delete_file_transacted_t delete_file_transacted;
  set_attributes_transacted_t set_attributes_transacted;
};
resolved_t resolved;

LPCWSTR wide(const wchar16_t* text) { return reinterpret_cast<LPCWSTR>(text); }

transaction_handle_t create_transaction(const wchar16_t* description) {
  const HANDLE transaction = resolved.create_transaction(nullptr, nullptr, transaction_do_not_promote, 0, 0, 0,
                                                         const_cast<LPWSTR>(wide(description)));
  return transaction == INVALID_HANDLE_VALUE ? nullptr : transaction;
}

bool commit_transaction(transaction_handle_t transaction) { return resolved.commit_transaction(transaction); }
bool rollback_transaction(transaction_handle_t transaction) { return resolved.rollback_transaction(transaction); }

transaction_handle_t open_probe_file(const wchar16_t* path, bool write, transaction_handle_t transaction) {
  const HANDLE file = write ? resolved.create_file_transacted(wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                              FILE_ATTRIBUTE_NORMAL, nullptr, transaction, nullptr,
                                                              nullptr)
                            : resolved.create_file_transacted(wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr, transaction,
                                                              nullptr, nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

bool move_file(const wchar16_t* from, const wchar16_t* to, transaction_handle_t transaction) {
  return resolved.move_file_transacted(wide(from), wide(to), nullptr, nullptr, MOVEFILE_REPLACE_EXISTING, transaction);
}

bool delete_file(const wchar16_t* path, transaction_handle_t transaction) {
  return resolved.delete_file_transacted(wide(path), transaction);
}

bool clear_read_only(const wchar16_t* path, transaction_handle_t transaction) {
  const DWORD attributes = GetFileAttributesW(wide(path));
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return true;
  const DWORD cleared = attributes & ~FILE_ATTRIBUTE_READONLY;
  return resolved.set_attributes_transacted(wide(path), cleared ? cleared : FILE_ATTRIBUTE_NORMAL, transaction);
}

void close_handle(transaction_handle_t handle) { CloseHandle(handle); }
u32 last_error() { return GetLastError(); }

template <typename F>
bool resolve(F& out, const char* module, const char* name) {
  out = reinterpret_cast<F>(find_module_function(load_module_cached(module), name));
  return out != nullptr;
}

} // namespace

bool load_transaction_functions(transaction_functions_t& out) {
  resolved_t found = {};
  const bool complete = resolve(found.create_transaction, "ktmw32.dll", "CreateTransaction") &
                        resolve(found.commit_transaction, "ktmw32.dll", "CommitTransaction") &
                        resolve(found.rollback_transaction, "ktmw32.dll", "RollbackTransaction") &
                        resolve(found.create_file_transacted, "kernel32.dll", "CreateFileTransactedW") &
                        resolve(found.move_file_transacted, "kernel32.dll", "MoveFileTransactedW") &
                        resolve(found.delete_file_transacted, "kernel32.dll", "DeleteFileTransactedW") &
                        resolve(found.set_attributes_transacted, "kernel32.dll", "SetFileAttributesTransactedW");
  if (!complete) return false;
  resolved = found;
  out = {create_transaction, commit_transaction, rollback_transaction, open_probe_file, move_file,
         delete_file,        clear_read_only,    close_handle,         last_error};
  return true;
}

} // namespace orvo::platform
