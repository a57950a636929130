#pragma once
#include "update_plan.h"

#include <string>
#include <vector>

namespace orvo::bench {

// Writes the update's container into FOLDER, signed with the private key: layout "kora" with
// every file at its target digest; for each edited file an XDLT delta from its pristine to its
// target version, made by our encoder, and for each new file its target content as LZM2, each
// with the file patch that leads to the target from the installed digest or the empty content.
bool write_update_container(const std::string& folder, const std::vector<planned_file_t>& files,
                            const char* private_key);

} // namespace orvo::bench
