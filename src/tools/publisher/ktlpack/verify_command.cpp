#include "commands.h"

#include "tools/publisher/container_verifier.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/rsa_keys.h"

#include <cstdio>

namespace orvo::publisher {

const char* const verify_help =
    "usage: ktlpack verify CONTAINER --public-key FILE\n"
    "\n"
    "Opens the container as the updater does, with FILE (DER X.509 SubjectPublicKeyInfo) as the\n"
    "only built-in key: header, signature over the whole file, then every chunk.\n"
    "Prints the open result: ok, not_container, unsupported_version, corrupted, unknown_key,\n"
    "no_signature, invalid_signature, io_error, internal_error or open_failed.\n"
    "Exit code 0 only for ok.\n";

int run_verify(const arguments_t& arguments) {
  parsed_arguments_t parsed;
  if (!parse_arguments(arguments, {"--public-key", "-k"}, {}, parsed)) return exit_usage;
  if (parsed.words.size() != 1) return usage_error("verify", "exactly one container is needed");
  const std::string* key_file = parsed.value("--public-key") ? parsed.value("--public-key") : parsed.value("-k");
  if (!key_file) return usage_error("verify", "--public-key FILE is required");
  CryptoPP::RSA::PublicKey key;
  if (!load_public_key(utf8_path(*key_file), key)) return exit_usage;
  const container_open_result_t result = verify_container(utf8_path(parsed.words[0]), key);
  std::printf("%s\n", container_open_result_name(result));
  return result == open_ok ? exit_success : exit_failure;
}

} // namespace orvo::publisher
