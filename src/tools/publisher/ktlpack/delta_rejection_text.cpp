#include "delta_rejection_text.h"

#include "patch/vcdiff_format.h"

#include <charconv>
#include <cstring>
#include <iterator>

namespace orvo::publisher {

namespace {

// Why the decoder rejected a delta, by vcdiff_error_t value.
const char* const rejection_texts[] = {
    "no error",
    "it does not start with the VCDIFF magic",
    "its VCDIFF version is not 0",
    "its header indicator has unknown bits",
    "it names an unknown secondary compressor",
    "its code table is invalid",
    "a window indicator has unknown bits",
    "a window's source segment is invalid",
    "a target window is larger than 16 MiB",
    "a window's delta indicator is invalid",
    "a window's encoding length disagrees with its sections",
    "a window's sections are too large",
    "secondary decompression failed",
    "its secondary compressor is not supported",
    "a window's instructions end early",
    "a window's data section ends early",
    "a window's address section ends early",
    "a window's sections have bytes left over",
    "an instruction has an invalid size",
    "a copy has an invalid address",
    "a window copies from the target, which is not supported",
    "a copy reads past the end of the old file",
    "it copies from an old file and there is none",
    "a block of the old file cannot be read",
    "a window's target length disagrees with its instructions",
    "a window's Adler-32 checksum does not match",
    "an integer is malformed",
    "the decoder ran out of memory",
    "the decoder was driven wrongly",
};
static_assert(std::size(rejection_texts) == patch::vcdiff_misuse + 1);

} // namespace

std::string readable_message(const char* text) {
  static const char prefix[] = "Unknown error ";
  const size_t prefix_length = sizeof prefix - 1;
  if (std::strncmp(text, prefix, prefix_length) != 0) return text;
  const char* number = text + prefix_length;
  const char* end = number + std::strlen(number);
  i32 error = 0;
  const auto parsed = std::from_chars(number, end, error);
  if (parsed.ec != std::errc() || parsed.ptr != end || error <= 0 || error >= i32(std::size(rejection_texts)))
    return text;
  return std::string("The decoder rejects the delta: ") + rejection_texts[error] + ".";
}

} // namespace orvo::publisher
