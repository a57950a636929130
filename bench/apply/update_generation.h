#pragma once
#include <string>

namespace orvo::bench {

// Writes what the benchmark keeps in FOLDER: the pristine installation, the target versions of
// the edited and new files, the update's container signed with the private key, and the digest
// lists of the installed files and of all files after the update. Prints what the update holds.
bool generate_update(const std::string& folder, const char* private_key);

} // namespace orvo::bench
