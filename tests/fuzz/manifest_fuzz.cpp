// libFuzzer target: fuzzed bytes parsed as a publisher's manifest. File names are only joined to
// the base folder, never opened, so the parse touches no disk.
#include "tools/publisher/manifest.h"

#include <sstream>
#include <string>

using namespace orvo;

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  std::istringstream text(std::string(reinterpret_cast<const char*>(data), size));
  publisher::manifest_t manifest;
  publisher::parse_manifest(text, "fuzzed.manifest", "/nonexistent/release", manifest);
  return 0;
}
