#include "ovcore/crypto/rsa_key_decoding.h"

#include <cryptopp/filters.h>
#include <cryptopp/osrng.h>

#include <exception>

namespace orvo {

namespace {

void decode_openpgp(CryptoPP::BufferedTransformation& source, CryptoPP::RSA::PublicKey& out) {
  CryptoPP::Integer modulus;
  CryptoPP::Integer exponent;
  modulus.OpenPGPDecode(source);
  exponent.OpenPGPDecode(source);
  out.Initialize(modulus, exponent);
}

} // namespace

bool decode_rsa_public_key(const rsa_public_key_t& record, CryptoPP::RSA::PublicKey& out) {
  if (!record.bytes || !record.length) return false;
  try {
    CryptoPP::StringSource source(record.bytes, record.length, true);
    if (record.openpgp_format)
      decode_openpgp(source, out);
    else
      out.BERDecode(source);
    if (source.MaxRetrievable() != 0) return false;
    return out.Validate(CryptoPP::NullRNG(), 0);
  } catch (const std::exception&) {
    return false;
  }
}

} // namespace orvo
