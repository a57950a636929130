#include "commands.h"
#include "release_check.h"

#include "ovcore/messages/messages.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/ordered_jobs.h"
#include "tools/publisher/rsa_keys.h"
#include "tools/publisher/statement_words.h"

#include <cinttypes>
#include <cstdio>

namespace orvo::publisher {

const char* const release_help =
    "usage: ktlpack release DESCRIPTION -o OUTPUT [--chained] [--layouts-only] [--jobs N]\n"
    "\n"
    "Builds the signed container of a release from the game's versions, as the release\n"
    "description says (format: src/tools/publisher/README.md): the target's layouts and the file\n"
    "patches that bring every older version to it, each diff the smallest of COPY, LZM2 and XDLT.\n"
    "The result is checked with the updater's own reader before it takes OUTPUT's name.\n"
    "  -o, --output FILE  the container to write; replaced only when the release succeeds\n"
    "  --chained          patch each older version to the next one instead of straight to the\n"
    "                     target (smaller with many versions, slower to apply)\n"
    "  --layouts-only     the target's layouts without deletions, empty files and patches: a\n"
    "                     container for installations that are already up to date\n"
    "  --jobs N           encode on N threads (default: one per processor)\n"
    "Prints per older version the files changed, added and removed and the bytes of diffs its\n"
    "update reads.\n";

namespace {

void print_summary(const release_description_t& description, const release_plan_t& plan,
                   const std::vector<u64>& diff_bytes) {
  std::printf("%-16s %8s %8s %8s %14s\n", "version", "changed", "added", "removed", "diff bytes");
  for (size_t i = 0; i < description.older.size(); ++i) {
    const version_changes_t& changes = plan.changes[i];
    const std::string bytes = i < diff_bytes.size() ? std::to_string(diff_bytes[i]) : "-";
    std::printf("%-16s %8" PRIu64 " %8" PRIu64 " %8" PRIu64 " %14s\n", description.older[i].label.c_str(),
                changes.changed, changes.added, changes.removed, bytes.c_str());
  }
}

bool build_release(const release_description_t& description, const std::filesystem::path& output,
                   release_chain_t chain, bool layouts_only, u32 threads) {
  CryptoPP::RSA::PrivateKey key;
  if (!load_signing_key(description.key, key)) return false;
  progress_meter_t progress;
  release_trees_t trees;
  release_plan_t plan;
  if (!scan_release(description, threads, progress, trees) ||
      !plan_release(description, trees, chain, layouts_only, plan))
    return false;
  release_written_t written;
  std::vector<u64> diff_bytes;
  const bool built = write_through_partial(output, [&](const std::filesystem::path& partial) {
    return write_release(plan, partial, key, threads, progress, written) &&
           check_release(partial, key, description, trees, plan, written, diff_bytes);
  });
  if (!built) return false;
  std::error_code ignored;
  print_summary(description, plan, diff_bytes);
  std::printf("wrote %s: %zu layouts, %zu diffs, %" PRIu64 " file patches, %" PRIu64 " bytes%s\n",
              path_text(output).c_str(), plan.layouts.size(), written.diff_sizes.size(), written.file_patches,
              static_cast<u64>(std::filesystem::file_size(output, ignored)),
              layouts_only ? " (layouts only)" : chain == release_chain_t::chained ? " (chained)" : "");
  return true;
}

} // namespace

int run_release(const arguments_t& arguments) {
  constexpr u32 max_jobs = 256;
  parsed_arguments_t parsed;
  if (!parse_arguments(arguments, {"-o", "--output", "--jobs"}, {"--chained", "--layouts-only"}, parsed))
    return exit_usage;
  if (parsed.words.size() != 1) return usage_error("release", "exactly one release description is needed");
  const std::string* output = parsed.value("-o") ? parsed.value("-o") : parsed.value("--output");
  if (!output || (parsed.has("-o") && parsed.has("--output"))) return usage_error("release", "one -o OUTPUT is needed");
  if (parsed.has("--chained") && parsed.has("--layouts-only"))
    return usage_error("release", "--chained and --layouts-only exclude each other");
  u32 threads = default_job_count();
  if (const std::string* jobs = parsed.value("--jobs"); jobs && (!parse_number(*jobs, threads) || !threads || threads > max_jobs))
    return usage_error("release", "--jobs takes a number from 1 to " + std::to_string(max_jobs));

  release_description_t description;
  if (!load_release_description(utf8_path(parsed.words[0]), description)) return exit_failure;
  if (description.key.empty()) {
    log_error("[ERR] %s: no 'key' names the signing key", description.name.c_str());
    return exit_failure;
  }
  const bool layouts_only = parsed.has("--layouts-only");
  if (description.older.empty() && !layouts_only) {
    log_error("[ERR] %s: no 'older' version to update from (--layouts-only writes the target's layouts alone)",
              description.name.c_str());
    return exit_failure;
  }
  const release_chain_t chain = parsed.has("--chained") ? release_chain_t::chained : release_chain_t::direct;
  return build_release(description, utf8_path(*output), chain, layouts_only, threads) ? exit_success : exit_failure;
}

} // namespace orvo::publisher
