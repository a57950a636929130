#include "ovcore/platform/file_transactions.h"

namespace orvo::platform {

// Linux has no transacted file system calls.
bool load_transaction_functions(transaction_functions_t&) { return false; }

} // namespace orvo::platform
