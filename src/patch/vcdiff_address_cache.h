#pragma once
#include "patch/vcdiff_format.h"
#include "patch/vcdiff_integer.h"

namespace orvo::patch {

// The near and same caches that COPY addresses are coded against.
class vcdiff_address_cache_t {
public:
  vcdiff_address_cache_t() = default;
  vcdiff_address_cache_t(const vcdiff_address_cache_t&) = delete;
  vcdiff_address_cache_t& operator=(const vcdiff_address_cache_t&) = delete;
  ~vcdiff_address_cache_t();

  bool configure(u8 near_size, u8 same_size);
  // Clears every slot; done at the start of each window.
  void reset();
  // Decodes the address of a COPY at "here" (its position in source window plus target) and
  // updates the caches. The address is not yet checked against here.
  vcdiff_error_t decode(u8 mode, u64 here, vcdiff_reader_t& addresses, u64& address);

private:
  void update(u64 address);

  u64* near_ = nullptr;
  u64* same_ = nullptr;
  u32 near_size_ = 0;
  u32 same_slots_ = 0;
  u32 next_slot_ = 0;
};

} // namespace orvo::patch
