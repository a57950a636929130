#pragma once
#include "container_opening.h"

#include <string>

namespace orvo::publisher {

// What the updater would do to an installation with this container, decided by the updater's
// own pool and analysis and changing nothing: one line per layout entry (action, chain, sizes),
// the space it needs and the outcome. Returns the command's exit code.
int check_installation(const std::string& container_file, const container_key_t& key, const std::string& directory);

} // namespace orvo::publisher
