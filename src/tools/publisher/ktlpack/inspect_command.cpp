#include "commands.h"
#include "container_opening.h"

#include "patch/container_format.h"
#include "patch/diff_size_result.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace orvo::publisher {

const char* const inspect_help =
    "usage: ktlpack inspect CONTAINER [--public-key FILE]\n"
    "\n"
    "Opens the container with the updater's own reader, as 'ktlpack verify' does (FILE, or else\n"
    "the key built into this build, being the only built-in key), and prints what the reader\n"
    "sees: the open result, layouts with their version, match hash and entries, file patches\n"
    "with their diff chains, and each diff a file patch names: its data (or its declaration\n"
    "without data), keyed flag and key id, block method, payload and output size. Problems the\n"
    "updater would meet when extracting a diff are listed. Diffs no file patch names are not shown.\n"
    "Exit code 1 when the container is refused or has problems.\n";

namespace {

using patch::container_reader_t;
using patch::diff_info_t;

// Printable form of a text field from the container.
std::string printable(const char* text, size_t size) {
  std::string out = "\"";
  for (size_t i = 0; i < size && text[i]; ++i) {
    const unsigned char ch = static_cast<unsigned char>(text[i]);
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

std::string tag_text(const char (&tag)[4]) {
  std::string text(tag, 4);
  for (char& ch : text)
    if (ch < 0x20 || ch == 0x7F) ch = '.';
  return text;
}

class inspector_t {
public:
  explicit inspector_t(const container_reader_t& reader) : reader_(reader) {}

  void print_layouts() const;
  void print_file_patches();
  void print_diffs();
  u32 problems() const { return problems_; }

private:
  void print_diff(const content_hash_t& id);
  void print_block(const content_hash_t& id, const diff_info_t& diff);
  void problem(const char* text);

  const container_reader_t& reader_;
  // Diffs in the order the file patches first name them.
  std::vector<content_hash_t> named_;
  u32 problems_ = 0;
};

void inspector_t::problem(const char* text) {
  ++problems_;
  std::printf("    problem: %s\n", text);
}

void inspector_t::print_layouts() const {
  for (const patch::layout_record_t& layout : reader_.layouts()) {
    std::printf("layout %s version %u.%u.%u.%u\n", printable(layout.name.c_str(), ~size_t(0)).c_str(),
                layout.version[0], layout.version[1], layout.version[2], layout.version[3]);
    std::printf("  match %s\n  %u entries\n", layout.match_hash.text().c_str(), layout.paths.size());
    for (const patch::layout_path_t& entry : layout.paths)
      std::printf("    %s %s %s\n", tag_text(entry.root).c_str(), entry.hash.text().c_str(),
                  printable(entry.path, sizeof entry.path).c_str());
  }
}

void inspector_t::print_file_patches() {
  std::set<std::string> seen;
  for (const patch::file_patch_record_t& record : reader_.file_patches()) {
    std::printf("file patch %s\n        -> %s\n  %u diffs\n", record.source.text().c_str(),
                record.target.text().c_str(), record.diff_ids.size());
    for (const content_hash_t& id : record.diff_ids) {
      std::printf("    %s%s\n", id.text().c_str(), reader_.find_diff(id) ? "" : " (not in this container)");
      if (seen.insert(id.text().c_str()).second) named_.push_back(id);
    }
  }
}

void inspector_t::print_diffs() {
  for (const content_hash_t& id : named_)
    if (reader_.find_diff(id)) print_diff(id);
}

void inspector_t::print_diff(const content_hash_t& id) {
  const diff_info_t& diff = *reader_.find_diff(id);
  std::printf("diff %s\n", id.text().c_str());
  const aes_key_t* key = diff.keyed ? reader_.find_key(diff.key_id) : nullptr;
  if (diff.keyed)
    std::printf("  keyed, key id %s (%s)\n", diff.key_id.text().c_str(),
                key ? "key in this container" : "no key in this container");
  if (diff.data_offset == patch::diff_offset_none) {
    std::printf("  declared: %" PRIu64 " bytes of data in another container\n", diff.data_size);
    return;
  }
  std::printf("  data at %" PRIu64 ", %" PRIu64 " bytes\n", diff.data_offset, diff.data_size);
  u64 output_size = 0;
  const patch::diff_size_result_t sized = reader_.get_diff_output_size(output_size, id, key);
  if (sized == patch::diff_size_result_t::no_key) return;
  if (sized != patch::diff_size_result_t::ok) {
    const std::string text = std::string("output size: ") + patch::diff_size_result_name(static_cast<u32>(sized));
    problem(text.c_str());
    return;
  }
  if (diff.keyed) {
    std::printf("  keyed data: the reader reads no block header, so method and output size are unknown\n");
    return;
  }
  print_block(id, diff);
}

// The checks extraction makes before it decodes: a known method, a stored copy of the output size.
void inspector_t::print_block(const content_hash_t& id, const diff_info_t& diff) {
  patch::block_header_t header;
  if (!reader_.get_diff_block_header(header, id)) {
    problem("the block header cannot be read");
    return;
  }
  const u64 payload = diff.data_size - patch::block_header_size;
  std::printf("  block %s, output %" PRIu64 " bytes, payload %" PRIu64 " bytes\n", tag_text(header.method).c_str(),
              header.output_size, payload);
  const bool copy = std::memcmp(header.method, patch::method_copy, 4) == 0;
  if (!copy && std::memcmp(header.method, patch::method_lzma, 4) != 0 &&
      std::memcmp(header.method, patch::method_delta, 4) != 0)
    problem("unknown block method");
  if (copy && payload != header.output_size) problem("a COPY block whose payload and output sizes disagree");
}

} // namespace

int run_inspect(const arguments_t& arguments) {
  parsed_arguments_t parsed;
  if (!parse_arguments(arguments, {"--public-key", "-k"}, {}, parsed)) return exit_usage;
  if (parsed.words.size() != 1) return usage_error("inspect", "exactly one container is needed");
  const std::string* key_file = parsed.value("--public-key") ? parsed.value("--public-key") : parsed.value("-k");
  container_key_t key;
  if (!load_container_key(key_file, key)) return exit_usage;
  const file_layer_t files;
  container_reader_t reader;
  const patch::container_open_result_t result = open_container(reader, parsed.words[0], key);
  std::printf("container %s\n", printable(parsed.words[0].c_str(), parsed.words[0].size()).c_str());
  std::printf("result: %s\n", patch::container_open_result_name(static_cast<u32>(result)));
  if (result != patch::container_open_result_t::ok) return exit_failure;
  std::printf("%" PRIu64 " bytes, signed by the key with fingerprint ", reader.file()->get_size());
  for (u8 byte : key.fingerprint) std::printf("%02X", byte);
  std::printf("\n");
  inspector_t inspector(reader);
  inspector.print_layouts();
  inspector.print_file_patches();
  inspector.print_diffs();
  std::printf("%u layouts, %u file patches, %u problems\n", reader.layouts().size(), reader.file_patches().size(),
              inspector.problems());
  return inspector.problems() ? exit_failure : exit_success;
}

} // namespace orvo::publisher
