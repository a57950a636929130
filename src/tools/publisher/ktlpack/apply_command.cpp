#include "commands.h"
#include "tools/publisher/delta_outline.h"

#include "ovcore/ufs/file_system.h"
#include "ovcore/ufs/fs_runtime.h"
#include "patch/decode_delta.h"
#include "tools/publisher/content_hash.h"
#include "tools/publisher/file_io.h"

#include <cinttypes>
#include <cstdio>
#include <iterator>

namespace orvo::publisher {

const char* const apply_help =
    "usage: ktlpack apply OLD DELTA NEW [--target FILE]\n"
    "\n"
    "Rebuilds NEW from OLD and the VCDIFF delta DELTA with the updater's own delta decoder, so\n"
    "it accepts and rejects exactly what the updater does. OLD '-' means no old file.\n"
    "Prints the size and SHA-256 of NEW.\n"
    "  --target FILE  the file NEW must equal; a difference is a failure\n"
    "The updater also compares the size of its output with the size its container promises;\n"
    "here NEW must have the size that the delta's windows add up to, so a delta that is cut\n"
    "short is refused. NEW is removed when decoding fails. Exit code 1 when the delta is refused,\n"
    "a file cannot be read or written, or NEW differs from --target.\n";

namespace {

// What each decode_delta_result_t means here, by value.
const char* const decode_failure_texts[] = {
    "ok",
    "the decoder could not be set up",
    "aborted",
    "DELTA cannot be read",
    "OLD cannot be read",
    "NEW cannot be written",
    "the delta is refused",
};

const char* decode_failure_text(patch::decode_delta_result_t result) {
  return result < std::size(decode_failure_texts) ? decode_failure_texts[result] : "the decoder failed";
}

// Decodes with the engine's file layer; NEW is complete (and closed) when this returns ok.
// `created` tells whether NEW was created (and so is ours to remove).
patch::decode_delta_result_t decode_files(const std::string& old_file, const std::string& delta_file,
                                          const std::string& new_file, bool& created) {
  auto_ptr_t<file_t> source;
  if (!old_file.empty()) {
    source = open_file_read(old_file.c_str());
    if (!source) {
      std::fprintf(stderr, "ktlpack apply: unable to open '%s'\n", old_file.c_str());
      return patch::decode_delta_source_read_error;
    }
  }
  auto_ptr_t<file_t> delta = open_file_read(delta_file.c_str());
  if (!delta) {
    std::fprintf(stderr, "ktlpack apply: unable to open '%s'\n", delta_file.c_str());
    return patch::decode_delta_container_read_error;
  }
  auto_ptr_t<file_t> output = open_file_create(new_file.c_str());
  if (!output) {
    std::fprintf(stderr, "ktlpack apply: unable to create '%s'\n", new_file.c_str());
    return patch::decode_delta_write_error;
  }
  created = true;
  return patch::decode_delta(*delta, 0, delta->get_size(), source.get(), *output, nullptr, nullptr, 0);
}

// A delta that ends inside a window still decodes; its output is short of what it describes.
bool has_described_size(const std::string& delta_file, const std::string& new_file) {
  delta_outline_t outline;
  u64 size = 0;
  if (!read_delta_outline(utf8_path(delta_file), outline) || !get_file_size(utf8_path(new_file), size)) return false;
  if (size == outline.target_size) return true;
  std::fprintf(stderr, "ktlpack apply: the delta's %" PRIu64 " windows describe %" PRIu64 " bytes; NEW has %" PRIu64 "\n",
               outline.windows, outline.target_size, size);
  return false;
}

int check_output(const std::string& new_file, const std::string* target) {
  u64 size = 0;
  content_hash_t hash;
  if (!get_file_size(utf8_path(new_file), size) || !compute_file_hash(utf8_path(new_file), hash)) return exit_failure;
  std::printf("%s: %" PRIu64 " bytes, SHA-256 %s\n", new_file.c_str(), size, to_hex(hash).c_str());
  if (!target) return exit_success;
  content_hash_t expected;
  if (!compute_file_hash(utf8_path(*target), expected)) return exit_failure;
  if (expected == hash) {
    std::printf("equal to %s\n", target->c_str());
    return exit_success;
  }
  std::fprintf(stderr, "ktlpack apply: %s differs from %s (SHA-256 %s)\n", new_file.c_str(), target->c_str(),
               to_hex(expected).c_str());
  return exit_failure;
}

} // namespace

int run_apply(const arguments_t& arguments) {
  parsed_arguments_t parsed;
  if (!parse_arguments(arguments, {"--target"}, {}, parsed)) return exit_usage;
  if (parsed.words.size() != 3) return usage_error("apply", "OLD, DELTA and NEW are needed");
  const std::string old_file = parsed.words[0] == "-" ? std::string() : parsed.words[0];
  const std::string& new_file = parsed.words[2];
  fs_startup();
  if (!native_device()) return exit_failure;
  bool created = false;
  const patch::decode_delta_result_t result = decode_files(old_file, parsed.words[1], new_file, created);
  if (result != patch::decode_delta_ok) {
    std::fprintf(stderr, "ktlpack apply: %s\n", decode_failure_text(result));
    if (created) delete_file(new_file.c_str());
  }
  fs_shutdown();
  if (result != patch::decode_delta_ok) return exit_failure;
  if (!has_described_size(parsed.words[1], new_file)) {
    std::error_code ignored;
    std::filesystem::remove(utf8_path(new_file), ignored);
    return exit_failure;
  }
  return check_output(new_file, parsed.value("--target"));
}

} // namespace orvo::publisher
