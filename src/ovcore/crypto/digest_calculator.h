#pragma once
#include "ovcore/memory/auto_ptr.h"
#include "ovcore/types.h"

namespace orvo {

// Message digest; finalize leaves the calculator ready for a new message.
class digest_calculator_t {
public:
  virtual ~digest_calculator_t() = default;
  virtual u32 digest_size() const = 0;
  virtual void update(const void* data, u32 length) = 0;
  // Writes digest_size() bytes.
  virtual void finalize(u8* out) = 0;
  virtual void set_key(const u8* key, u32 length) = 0;
};

// Empty when memory runs out.
auto_ptr_t<digest_calculator_t> create_sha256_digest_calculator();

} // namespace orvo
