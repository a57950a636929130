#pragma once
#include "ovcore/types.h"

namespace orvo {

// How the look-up of the container the program carries ended.
enum class embedded_container_status_t : u32 {
  found = 0,
  not_found = 1,
  load_failed = 2,
  lock_failed = 3,
  empty = 4,
};

// Where the container lives in the program: an ELF section of this name (Linux), a resource of
// this type and name (Windows).
constexpr char container_section_name[] = ".orvo.container";
constexpr char container_resource_type[] = "KTLC";
constexpr char container_resource_name[] = "PATCH";

// The container's bytes, mapped read-only for the life of the process.
struct embedded_container_t {
  const void* data = nullptr;
  u64 size = 0;
};

// Finds the container in the program module.
using find_embedded_container_t = embedded_container_status_t (*)(void* module_instance, embedded_container_t& out);

// The platform's look-up, defined beside the program's entry point.
embedded_container_status_t find_embedded_container(void* module_instance, embedded_container_t& out);

} // namespace orvo
