#include "commands.h"

#include "tools/publisher/file_io.h"
#include "tools/publisher/manifest_packer.h"
#include "tools/publisher/rsa_keys.h"

#include <cstdio>

namespace orvo::publisher {

const char* const pack_help =
    "usage: ktlpack pack MANIFEST -o OUTPUT (--key PRIVATE-KEY | --unsigned)\n"
    "\n"
    "Builds a container from a manifest (format: src/tools/publisher/README.md) and signs it.\n"
    "  -o, --output FILE  the container to write; replaced only when packing succeeds\n"
    "  --key FILE         4096-bit private key (DER PKCS #8) from 'ktlpack keygen'\n"
    "  --unsigned         write an unsigned container (the updater refuses it; for tests)\n"
    "Files named in the manifest are relative to the manifest's directory.\n";

int run_pack(const arguments_t& arguments) {
  parsed_arguments_t parsed;
  if (!parse_arguments(arguments, {"-o", "--output", "--key"}, {"--unsigned"}, parsed)) return exit_usage;
  if (parsed.words.size() != 1) return usage_error("pack", "exactly one manifest is needed");
  const std::string* output = parsed.value("-o") ? parsed.value("-o") : parsed.value("--output");
  if (!output || (parsed.has("-o") && parsed.has("--output"))) return usage_error("pack", "one -o OUTPUT is needed");
  if (parsed.has("--key") == parsed.has("--unsigned")) return usage_error("pack", "give either --key or --unsigned");

  CryptoPP::RSA::PrivateKey key;
  const bool signing = parsed.has("--key");
  if (signing && !load_signing_key(utf8_path(*parsed.value("--key")), key)) return exit_failure;
  manifest_t manifest;
  if (!load_manifest(utf8_path(parsed.words[0]), manifest)) return exit_failure;
  if (!pack_manifest(manifest, utf8_path(*output), signing ? &key : nullptr)) return exit_failure;
  std::printf("wrote %s: %zu layouts, %zu key sets, %zu diffs, %zu declarations, %zu file patches%s\n",
              output->c_str(), manifest.layouts.size(), manifest.key_sets.size(), manifest.diffs.size(),
              manifest.metas.size(), manifest.patches.size(), signing ? "" : " (unsigned)");
  return exit_success;
}

} // namespace orvo::publisher
