#pragma once
#include <cstddef>
#include <cstdint>

namespace orvo {

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;
using i32 = std::int32_t;
using i64 = std::int64_t;
using uptr = std::uintptr_t;

// UTF-16 code unit handed to wide-character platform calls.
using wchar16_t = char16_t;

constexpr u32 npos32 = 0xFFFFFFFFu;

} // namespace orvo
