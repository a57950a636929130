#include "commands.h"

#include "tools/publisher/content_hash.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/rsa_keys.h"

#include <cstdio>

namespace orvo::publisher {

const char* const keygen_help =
    "usage: ktlpack keygen --private FILE --public FILE [--force]\n"
    "\n"
    "Generates a 4096-bit RSA key pair (public exponent 65537) for signing containers.\n"
    "  --private FILE  private key, DER PKCS #8; keep it secret\n"
    "  --public FILE   public key, DER X.509 SubjectPublicKeyInfo (550 bytes), the form the\n"
    "                  updater carries\n"
    "  --force         overwrite existing files\n"
    "Prints the key fingerprint that signed containers carry in their header.\n";

int run_keygen(const arguments_t& arguments) {
  parsed_arguments_t parsed;
  if (!parse_arguments(arguments, {"--private", "--public"}, {"--force"}, parsed)) return exit_usage;
  if (!parsed.words.empty()) return usage_error("keygen", "unexpected '" + parsed.words[0] + "'");
  if (!parsed.has("--private") || !parsed.has("--public"))
    return usage_error("keygen", "--private and --public are required");
  const std::filesystem::path private_path = utf8_path(*parsed.value("--private"));
  const std::filesystem::path public_path = utf8_path(*parsed.value("--public"));
  std::error_code error;
  if (!parsed.has("--force") &&
      (std::filesystem::exists(private_path, error) || std::filesystem::exists(public_path, error))) {
    std::fprintf(stderr, "ktlpack keygen: a key file exists already; use --force to replace it\n");
    return exit_failure;
  }
  CryptoPP::RSA::PrivateKey key;
  key_fingerprint_t fingerprint;
  if (!generate_signing_key(key, signing_key_bits) || !compute_key_fingerprint(key, fingerprint) ||
      !save_private_key(key, private_path) || !save_public_key(CryptoPP::RSA::PublicKey(key), public_path))
    return exit_failure;
  std::printf("fingerprint %s\n", to_hex(fingerprint).c_str());
  return exit_success;
}

} // namespace orvo::publisher
