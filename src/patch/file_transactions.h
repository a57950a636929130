#pragma once
#include "ovcore/platform/file_transactions.h"
#include "patch/file_patching_info.h"

namespace orvo::patch {

// Resolves the platform's transaction manager at start-up; without it every patch finalizes
// with plain deletes and moves.
void load_transaction_entry_points();
// Forgets them at shutdown.
void clear_transaction_entry_points();
// Installs a stand-in for the platform's manager (tests); null: none.
void set_transaction_entry_points(const transaction_functions_t* functions);
// Null when transaction support is not initialised.
const transaction_functions_t* transaction_entry_points();

// True when finalization may change these files inside a transaction: a throw-away
// transaction opens each file that will change, and its first temporary, and is rolled back.
bool probe_transactions(const patching_infos_t& infos);

// The error codes that say a file or its volume cannot take part in a transaction.
bool refuses_transactions(u32 error);

} // namespace orvo::patch
