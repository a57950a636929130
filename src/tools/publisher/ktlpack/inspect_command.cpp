#include "commands.h"

#include "tools/publisher/container_format.h"
#include "tools/publisher/container_header.h"
#include "tools/publisher/container_scanner.h"
#include "tools/publisher/file_io.h"

#include <cinttypes>
#include <cstdio>
#include <fstream>

namespace orvo::publisher {

const char* const inspect_help =
    "usage: ktlpack inspect CONTAINER\n"
    "\n"
    "Prints the header (magic, version, key fingerprint, reserved and signature fields), then\n"
    "every chunk with its records: layouts with their entries, file patches with their diff\n"
    "ids, content key ids, diffs with their block header, declared diffs. Problems the updater\n"
    "would refuse are listed with the open result they lead to. The signature is not checked\n"
    "(see 'ktlpack verify').\n"
    "Exit code 1 when the container has problems.\n";

namespace {

std::string tag_text(u32 tag) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const char ch = static_cast<char>(tag >> (8 * i));
    text += ch >= 0x20 && ch < 0x7F ? ch : '.';
  }
  return text;
}

// Printable form of a text field from the container.
std::string printable(const std::string& text) {
  std::string out = "\"";
  for (unsigned char ch : text) {
    if (ch < 0x20 || ch == 0x7F || ch == '"' || ch == '\\') {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\x%02X", ch);
      out += escape;
    } else {
      out += static_cast<char>(ch);
    }
  }
  return out + "\"";
}

class inspect_printer_t : public container_scan_visitor_t {
public:
  void on_chunk(const chunk_info_t& chunk) override {
    ++chunks_;
    std::printf("chunk at %" PRIu64 ": %s version %u, %" PRIu64 " bytes%s\n", chunk.offset,
                tag_text(chunk.tag).c_str(), chunk.version, chunk.size, known(chunk) ? "" : " (skipped)");
  }

  void on_layout(const scanned_layout_t& layout) override {
    std::printf("  layout %s%s version %u.%u.%u.%u\n", printable(layout.name).c_str(),
                layout.name_terminated ? "" : " (no NUL)", layout.version[0], layout.version[1], layout.version[2],
                layout.version[3]);
    std::printf("  match  %s\n", to_hex(layout.match_hash).c_str());
    std::printf("  %zu entries\n", layout.entries.size());
    for (const scanned_layout_entry_t& entry : layout.entries) {
      std::printf("    %s %s %s%s%s\n", tag_text(entry.root).c_str(), to_hex(entry.hash).c_str(),
                  printable(entry.path).c_str(), entry.problem ? "  <- " : "", entry.problem ? entry.problem : "");
    }
  }

  void on_file_patch(const scanned_file_patch_t& patch) override {
    std::printf("  patch %s\n     -> %s\n  %zu diffs\n", to_hex(patch.source).c_str(), to_hex(patch.target).c_str(),
                patch.diff_ids.size());
    for (const content_hash_t& id : patch.diff_ids) std::printf("    %s\n", to_hex(id).c_str());
  }

  void on_keys(const std::vector<scanned_key_t>& keys) override {
    std::printf("  %zu content keys\n", keys.size());
    for (const scanned_key_t& key : keys) std::printf("    key id %s\n", to_hex(key.key_id).c_str());
  }

  void on_diff(const scanned_diff_t& diff) override {
    std::printf("  %s %s\n", diff.declared_only ? "declared diff" : "diff", to_hex(diff.id).c_str());
    if (diff.keyed) std::printf("    keyed, key id %s\n", to_hex(diff.key_id).c_str());
    if (diff.declared_only) {
      std::printf("    %" PRIu64 " bytes of data in another container\n", diff.data_size);
      return;
    }
    std::printf("    data at %" PRIu64 ", %" PRIu64 " bytes\n", diff.data_offset, diff.data_size);
    if (!diff.has_block_header) return;
    const u64 header_end = (diff.keyed ? format::keyed_prefix_size : 0) + format::block_header_size;
    const u64 payload = diff.data_size >= header_end ? diff.data_size - header_end : 0;
    std::printf("    block %s, output %" PRIu64 " bytes, payload %" PRIu64 " bytes%s\n", tag_text(diff.method).c_str(),
                diff.output_size, payload, block_note(diff, payload));
  }

  void on_problem(u64 offset, container_open_result_t result, const std::string& text) override {
    ++problems_;
    std::printf("  problem (%s): %s\n", container_open_result_name(result), text.c_str());
  }

  u32 chunks() const { return chunks_; }
  u32 problems() const { return problems_; }

private:
  static bool known(const chunk_info_t& chunk) {
    return chunk.version == format::chunk_version &&
           (chunk.fixed_size != 0 || chunk.tag == format::tag_keys);
  }

  static const char* block_note(const scanned_diff_t& diff, u64 payload) {
    if (diff.method != format::method_copy && diff.method != format::method_lzma &&
        diff.method != format::method_delta)
      return " (unknown method)";
    if (diff.method == format::method_copy && payload != diff.output_size) return " (sizes disagree)";
    return "";
  }

  u32 chunks_ = 0;
  u32 problems_ = 0;
};

void print_header(const container_header_t& header) {
  std::printf("header\n  magic       %s\n  version     %u\n", tag_text(header.magic).c_str(), header.version);
  std::printf("  fingerprint %s\n", header.signed_ ? to_hex(header.fingerprint).c_str() : "none (unsigned)");
  std::printf("  reserved    %s\n", header.reserved_zero ? "all zero" : "not zero");
  std::printf("  signature   %s\n", header.signature_zero ? "all zero" : "present");
}

} // namespace

int run_inspect(const arguments_t& arguments) {
  parsed_arguments_t parsed;
  if (!parse_arguments(arguments, {}, {}, parsed)) return exit_usage;
  if (parsed.words.size() != 1) return usage_error("inspect", "exactly one container is needed");
  const std::filesystem::path path = utf8_path(parsed.words[0]);
  u64 size = 0;
  if (!get_file_size(path, size)) return exit_failure;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "ktlpack inspect: unable to open '%s'\n", parsed.words[0].c_str());
    return exit_failure;
  }
  std::printf("container %s, %" PRIu64 " bytes\n", printable(parsed.words[0]).c_str(), size);
  container_header_t header;
  container_open_result_t result = read_container_header(file, size, header);
  if (result == open_not_container && size >= format::header_size) print_header(header);
  if (result == open_not_container || result == open_io_error) {
    std::printf("result: %s\n", container_open_result_name(result));
    return exit_failure;
  }
  print_header(header);
  if (result == open_ok) result = check_unsigned_header(header);
  inspect_printer_t printer;
  const container_open_result_t chunks = scan_chunks(file, size, &printer);
  if (result == open_ok) result = chunks;
  std::printf("%u chunks, %u problems\n", printer.chunks(), printer.problems());
  std::printf("result: %s%s\n", container_open_result_name(result),
              result == open_ok ? " (signature not checked)" : "");
  return result == open_ok ? exit_success : exit_failure;
}

} // namespace orvo::publisher
