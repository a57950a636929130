#include "commands.h"
#include "container_opening.h"
#include "installation_check.h"

#include <cstdio>

namespace orvo::publisher {

const char* const verify_help =
    "usage: ktlpack verify CONTAINER [--public-key FILE] [--against DIR]\n"
    "\n"
    "Opens the container with the updater's own reader, the only built-in key being FILE (DER\n"
    "X.509 SubjectPublicKeyInfo) or, without it, the key built into this build: header, signature\n"
    "over the whole file, then every chunk.\n"
    "Prints the open result: ok, not_container, unsupported_version, corrupted, unknown_key,\n"
    "no_signature, invalid_signature, io_error, internal_error or open_failed.\n"
    "Exit code 0 only for ok.\n"
    "\n"
    "--against DIR: analyses the installation in DIR with the updater's own code, changing\n"
    "nothing, and prints what the updater would do: per layout entry the action (unchanged,\n"
    "delete, empty, patch), the number of diffs in its chain, the installed and target sizes;\n"
    "then the analysis result, the space the update needs and the outcome. The analysis log goes\n"
    "to standard error. Exit code 0 when the updater would update or find nothing to do.\n";

int run_verify(const arguments_t& arguments) {
  parsed_arguments_t parsed;
  if (!parse_arguments(arguments, {"--public-key", "-k", "--against"}, {}, parsed)) return exit_usage;
  if (parsed.words.size() != 1) return usage_error("verify", "exactly one container is needed");
  const std::string* key_file = parsed.value("--public-key") ? parsed.value("--public-key") : parsed.value("-k");
  container_key_t key;
  if (!load_container_key(key_file, key)) return exit_usage;
  if (const std::string* directory = parsed.value("--against")) return check_installation(parsed.words[0], key, *directory);
  const file_layer_t files;
  patch::container_reader_t reader;
  const patch::container_open_result_t result = open_container(reader, parsed.words[0], key);
  std::printf("%s\n", patch::container_open_result_name(static_cast<u32>(result)));
  return result == patch::container_open_result_t::ok ? exit_success : exit_failure;
}

} // namespace orvo::publisher
