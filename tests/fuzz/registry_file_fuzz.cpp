// libFuzzer target: fuzzed bytes read as the registry substitute file of the Linux build, from
// memory: once through the line reader the registry functions use, then line by line with the
// data of each sz: and dword: value checked against its type, and each hex(N) type number.
#include "ovcore/platform/linux/registry_file_linux.h"
#include "ovcore/system/registry_platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace orvo;

namespace {

// The data as the line spells it: what follows the first '=', without leading blanks.
const char* data_text(const std::string& line) {
  const char* text = std::strchr(line.c_str(), '=');
  if (!text) return "";
  for (++text; *text == ' ' || *text == '\t';) ++text;
  return text;
}

// REG_SZ data is UTF-16 ending in its terminator, REG_DWORD four bytes.
void check_line(const std::string& line) {
  std::string buffer = line;
  if (platform::is_registry_comment_or_blank(buffer.c_str())) return;
  platform::registry_entry_t entry;
  if (!platform::parse_registry_line(buffer.data(), entry)) return;
  const u32 size = entry.data.size();
  const char* text = data_text(line);
  if (std::strncmp(text, "sz:", 3) == 0) {
    if (entry.type != platform::registry_type_sz || size < 2 || size % 2 != 0 || entry.data[size - 1] != 0 ||
        entry.data[size - 2] != 0)
      std::abort();
  } else if (std::strncmp(text, "dword:", 6) == 0) {
    if (entry.type != platform::registry_type_dword || size != 4) std::abort();
  } else if (std::strncmp(text, "hex(", 4) == 0) {
    // The type number: one or more decimal digits, at most 32 bits, then "):".
    u64 number = 0;
    const char* digit = text + 4;
    for (; *digit >= '0' && *digit <= '9' && number <= 0xFFFFFFFFu; ++digit) number = number * 10 + (*digit - '0');
    if (digit == text + 4 || number > 0xFFFFFFFFu || std::strncmp(digit, "):", 2) != 0 || entry.type != number)
      std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size == 0) return 0;
  std::FILE* file = fmemopen(const_cast<u8*>(data), size, "r");
  if (!file) return 0;
  platform::scan_registry_stream(file, "<fuzzed>", [](const platform::registry_entry_t&) { return false; });
  std::fclose(file);

  const std::string text(reinterpret_cast<const char*>(data), size);
  for (size_t start = 0; start < text.size();) {
    const size_t end = text.find('\n', start);
    const size_t next = end == std::string::npos ? text.size() : end + 1;
    check_line(text.substr(start, next - start));
    start = next;
  }
  return 0;
}
