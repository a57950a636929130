#include "commands.h"
#include "container_opening.h"
#include "ovcore/messages/messages.h"
#include "tools/publisher/executable_embedding.h"
#include "tools/publisher/file_io.h"

#include <cstdio>
#include <cstring>
#include <fstream>

namespace orvo::publisher {

const char* const embed_help =
    "usage: ktlpack embed PROGRAM CONTAINER -o OUTPUT [--public-key FILE] [--unchecked]\n"
    "\n"
    "Writes a copy of the updater PROGRAM that carries CONTAINER, without a compiler:\n"
    "  Linux (ELF, 32- or 64-bit): the section .orvo.container, added when missing;\n"
    "  Windows (PE, i686 or x86_64): the resource KTLC/PATCH, every other resource kept; the\n"
    "  checksum is cleared and a signature dropped (sign the copy again).\n"
    "The container must open with the updater's own reader and the key the program carries: the\n"
    "key built into this build, or FILE (DER X.509 SubjectPublicKeyInfo). --unchecked skips that.\n"
    "OUTPUT appears only once it is complete (it is written as OUTPUT.partial first).\n"
    "Exit codes: 0 written, 1 refused or failed, 2 usage error.\n";

namespace {

struct executable_format_t {
  const char* magic;
  u32 magic_size;
  bool (*embed)(const embedding_t&);
};

const executable_format_t executable_formats[] = {
    {"\x7F" "ELF", 4, embed_in_elf},
    {"MZ", 2, embed_in_pe},
};

const executable_format_t* find_format(std::istream& program) {
  char magic[4] = {};
  program.read(magic, sizeof(magic));
  for (const executable_format_t& format : executable_formats)
    if (program.gcount() >= format.magic_size && !std::memcmp(magic, format.magic, format.magic_size)) return &format;
  return nullptr;
}

bool container_accepted(const std::string& container, const std::string* key_file) {
  container_key_t key;
  if (!load_container_key(key_file, key)) return false;
  const file_layer_t files;
  patch::container_reader_t reader;
  const patch::container_open_result_t result = open_container(reader, container, key);
  if (result == patch::container_open_result_t::ok) return true;
  log_error("[ERR] The updater refuses '%s': %s (--unchecked embeds it anyway)", container.c_str(),
            patch::container_open_result_name(static_cast<u32>(result)));
  return false;
}

bool write_program(const std::string& program_name, const std::string& container_name,
                   const std::filesystem::path& output) {
  const std::filesystem::path program_path = utf8_path(program_name), container_path = utf8_path(container_name);
  u64 program_size = 0, container_size = 0;
  if (!get_file_size(program_path, program_size) || !get_file_size(container_path, container_size)) return false;
  std::ifstream program(program_path, std::ios::binary), container(container_path, std::ios::binary);
  if (!program || !container) {
    log_error("[ERR] Unable to open '%s' or '%s'", program_name.c_str(), container_name.c_str());
    return false;
  }
  const executable_format_t* format = find_format(program);
  if (!format) {
    log_error("[ERR] '%s' is neither an ELF nor a PE program", program_name.c_str());
    return false;
  }
  if (container_size == 0) {
    log_error("[ERR] '%s' is empty", container_name.c_str());
    return false;
  }
  return write_through_partial(output, [&](const std::filesystem::path& partial) {
    std::fstream out(partial, std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc);
    if (!out) {
      log_error("[ERR] Unable to create '%s'", path_text(partial).c_str());
      return false;
    }
    const bool embedded = format->embed({program, program_size, container, container_size, out}) && out.flush();
    out.close();
    std::error_code error;
    std::filesystem::permissions(partial, std::filesystem::status(program_path, error).permissions(), error);
    return embedded && !error && out;
  });
}

} // namespace

int run_embed(const arguments_t& arguments) {
  parsed_arguments_t parsed;
  if (!parse_arguments(arguments, {"-o", "--output", "--public-key", "-k"}, {"--unchecked"}, parsed)) return exit_usage;
  if (parsed.words.size() != 2) return usage_error("embed", "a program and a container are needed");
  const std::string* output = parsed.value("-o") ? parsed.value("-o") : parsed.value("--output");
  if (!output) return usage_error("embed", "-o OUTPUT is needed");
  const std::string* key_file = parsed.value("--public-key") ? parsed.value("--public-key") : parsed.value("-k");
  if (key_file && parsed.has("--unchecked")) return usage_error("embed", "--public-key and --unchecked exclude each other");
  if (!parsed.has("--unchecked") && !container_accepted(parsed.words[1], key_file)) return exit_failure;
  if (!write_program(parsed.words[0], parsed.words[1], utf8_path(*output))) return exit_failure;
  std::printf("%s\n", output->c_str());
  return exit_success;
}

} // namespace orvo::publisher
