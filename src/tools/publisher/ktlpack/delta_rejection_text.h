#pragma once
#include <string>

namespace orvo::publisher {

// A message as ktlpack shows it: the delta decoder's "Unknown error N" (N its vcdiff error)
// becomes a sentence naming the problem; every other message is returned as it is.
std::string readable_message(const char* text);

} // namespace orvo::publisher
