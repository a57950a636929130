// libFuzzer target: fuzzed bytes parsed as a publisher's release description. Directories are only
// joined to the base folder, never opened, so the parse touches no disk.
#include "tools/publisher/release_description.h"

#include <sstream>
#include <string>

using namespace orvo;

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  std::istringstream text(std::string(reinterpret_cast<const char*>(data), size));
  publisher::release_description_t description;
  publisher::parse_release_description(text, "fuzzed.release", "/nonexistent/release", description);
  return 0;
}
