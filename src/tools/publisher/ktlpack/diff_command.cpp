#include "commands.h"

#include "tools/publisher/file_io.h"
#include "tools/vcdiff_encoder/vcdiff_encoder.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>

namespace orvo::publisher {

const char* const diff_help =
    "usage: ktlpack diff OLD NEW DELTA [--plain] [--preset N]\n"
    "\n"
    "Writes the VCDIFF delta that turns OLD into NEW. OLD '-' means no old file (the delta then\n"
    "only compresses NEW).\n"
    "  --plain     plain RFC 3284 delta (no secondary compression, no window checksums) for\n"
    "              other decoders; without it the delta has the form the updater's XDLT blocks\n"
    "              use (LZMA secondary compression, Adler-32 window checksums)\n"
    "  --preset N  LZMA preset 0 to 9 of the secondary compression (default 6)\n"
    "'ktlpack apply OLD DELTA NEW' decodes it as the updater does.\n"
    "Exit code 1 when the delta cannot be made.\n";

int run_diff(const arguments_t& arguments) {
  parsed_arguments_t parsed;
  if (!parse_arguments(arguments, {"--preset"}, {"--plain"}, parsed)) return exit_usage;
  if (parsed.words.size() != 3) return usage_error("diff", "OLD, NEW and DELTA are needed");
  vcdiff::encode_options_t options;
  options.container_form = !parsed.has("--plain");
  if (const std::string* preset = parsed.value("--preset")) {
    const auto [end, error] = std::from_chars(preset->data(), preset->data() + preset->size(), options.lzma_preset);
    if (error != std::errc() || end != preset->data() + preset->size() || options.lzma_preset > 9)
      return usage_error("diff", "--preset takes a number from 0 to 9");
  }
  const std::string old_file = parsed.words[0] == "-" ? std::string() : parsed.words[0];
  vcdiff::encode_report_t report;
  const vcdiff::encode_result_t result = vcdiff::encode_file(old_file.c_str(), parsed.words[1].c_str(),
                                                             parsed.words[2].c_str(), options, &report);
  if (result != vcdiff::encode_result_t::ok) {
    std::fprintf(stderr, "ktlpack diff: %s (%s)\n", report.error.c_str(), vcdiff::encode_result_name(result));
    return exit_failure;
  }
  const vcdiff::encode_stats_t& stats = report.stats;
  std::printf("wrote %s: %" PRIu64 " bytes for %" PRIu64 " target bytes in %" PRIu64 " windows (%" PRIu64
              " copied from OLD, %" PRIu64 " from NEW, %" PRIu64 " in runs, %" PRIu64 " added)\n",
              parsed.words[2].c_str(), stats.delta_bytes, stats.target_bytes, stats.windows, stats.source_copy_bytes,
              stats.target_copy_bytes, stats.run_bytes, stats.add_bytes);
  return exit_success;
}

} // namespace orvo::publisher
