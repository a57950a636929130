// Writes the hand-built deltas of the tests as the fuzz target's seed corpus.
#include "../patch_tests/code_table_builder.h"
#include "../patch_tests/rfc_example.h"
#include "seed_file.h"

using namespace orvo;
using namespace orvo::patch::test;

namespace {

bytes_t cached_addresses() {
  sections_t sections;
  sections.copy(4, 0).add(to_bytes("wxyz")).copy(4, 4, 3).copy(12, 4, 1).copy(4, 4, 6).add(to_bytes("zz"));
  bytes_t delta = header();
  append_window(delta, source_window(0, 16, to_bytes("abcdwxyzefghefghefghefghefghzz"), sections));
  return delta;
}

bytes_t custom_table() {
  sections_t sections;
  sections.copy(4, 0).add(to_bytes("wxyz")).copy(4, 4);
  sections.instructions.push_back(200);
  append(sections.addresses, integer(4));
  sections.data.push_back('z');
  bytes_t delta = header(0x02, code_table_data(4, 3, custom_table_string()));
  append_window(delta, source_window(0, rfc_source.size(), rfc_target, sections));
  return delta;
}

bytes_t compressed_sections() {
  sections_t sections = rfc_sections();
  sections.data = lzma_section(sections.data);
  sections.instructions = lzma_section(sections.instructions);
  window_t window = source_window(0, rfc_source.size(), rfc_target, sections);
  window.delta_indicator = 0x03;
  bytes_t delta = header(0x01, {2});
  append_window(delta, window);
  return delta;
}

bytes_t several_windows() {
  bytes_t delta = header(0x04, integer(2));
  append(delta, to_bytes("ap"));
  append_window(delta, source_window(0, rfc_source.size(), rfc_target, rfc_sections()));
  window_t own;
  own.target_length = 10;
  own.sections.add(to_bytes("12")).copy(8, 0);
  append_window(delta, own);
  window_t earlier;
  earlier.indicator = 0x02;
  earlier.segment_length = 8;
  earlier.target_length = 6;
  earlier.sections.run(2, 'r').copy(4, 9);
  append_window(delta, earlier);
  return delta;
}

} // namespace

int main(int argc, char** argv) {
  const char* folder = orvo::fuzz::seed_folder(argc, argv);
  if (!folder) return 2;
  const bool written = fuzz::write_seed(folder, "rfc_example", {}, rfc_delta()) &&
                       fuzz::write_seed(folder, "cached_addresses", {}, cached_addresses()) &&
                       fuzz::write_seed(folder, "custom_table", {}, custom_table()) &&
                       fuzz::write_seed(folder, "compressed_sections", {}, compressed_sections()) &&
                       fuzz::write_seed(folder, "several_windows", {}, several_windows());
  return written ? 0 : 1;
}
