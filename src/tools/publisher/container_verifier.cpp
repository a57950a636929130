#include "tools/publisher/container_verifier.h"

#include "ovcore/messages/messages.h"
#include "tools/publisher/container_format.h"
#include "tools/publisher/container_header.h"
#include "tools/publisher/container_scanner.h"
#include "tools/publisher/file_io.h"
#include "tools/publisher/signed_message.h"

#include <cryptopp/rsa.h>
#include <cryptopp/sha.h>

#include <fstream>
#include <memory>

namespace orvo::publisher {

namespace {

class problem_logger_t : public container_scan_visitor_t {
public:
  void on_problem(u64 offset, container_open_result_t result, const std::string& text) override {
    if (!logged_) log_error("[ERR] %s", text.c_str());
    logged_ = true;
  }

private:
  bool logged_ = false;
};

container_open_result_t check_signature(std::ifstream& file, u64 size, const CryptoPP::RSA::PublicKey& key) {
  u8 signature[format::signature_size];
  if (!read_at(file, format::signature_offset, signature, sizeof(signature))) return open_io_error;
  try {
    CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA256>::Verifier verifier(key);
    if (verifier.SignatureLength() != format::signature_size) {
      log_error("[ERR] The public key verifies %u-byte signatures, not %u", static_cast<u32>(verifier.SignatureLength()),
                format::signature_size);
      return open_invalid_signature;
    }
    std::unique_ptr<CryptoPP::PK_MessageAccumulator> accumulator(verifier.NewVerificationAccumulator());
    if (!feed_signed_message(file, size, *accumulator)) return open_io_error;
    verifier.InputSignature(*accumulator, signature, sizeof(signature));
    if (verifier.VerifyAndRestart(*accumulator)) return open_ok;
  } catch (const CryptoPP::Exception& error) {
    log_error("[ERR] Signature check failed: %s", error.what());
    return open_internal_error;
  }
  log_error("[ERR] The signature does not verify");
  return open_invalid_signature;
}

} // namespace

container_open_result_t verify_container(const std::filesystem::path& path, const CryptoPP::RSA::PublicKey& key) {
  u64 size = 0;
  if (!get_file_size(path, size)) return open_open_failed;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    log_error("[ERR] Unable to open '%s'", path_text(path).c_str());
    return open_open_failed;
  }
  container_header_t header;
  container_open_result_t result = read_container_header(file, size, header);
  if (result == open_ok) result = check_unsigned_header(header);
  if (result != open_ok) {
    log_error("[ERR] Header of '%s': %s", path_text(path).c_str(), container_open_result_name(result));
    return result;
  }
  key_fingerprint_t fingerprint;
  if (!compute_key_fingerprint(key, fingerprint)) return open_internal_error;
  if (fingerprint != header.fingerprint) {
    log_error("[ERR] '%s' is signed with another key", path_text(path).c_str());
    return open_unknown_key;
  }
  result = check_signature(file, size, key);
  if (result != open_ok) return result;
  problem_logger_t logger;
  return scan_chunks(file, size, &logger);
}

} // namespace orvo::publisher
