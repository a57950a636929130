#include "ovcore/system/processors.h"

#include <cpuid.h>

namespace orvo {

namespace {

struct cpuid_registers_t {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
};

cpuid_registers_t query(unsigned leaf) {
  cpuid_registers_t r;
  __cpuid(leaf, r.eax, r.ebx, r.ecx, r.edx);
  return r;
}

void copy_register(char* out, unsigned value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(value >> (8 * i));
}

u32 vendor_kind(const string& vendor) {
  if (vendor.equals("GenuineIntel")) return cpu_vendor_intel;
  if (vendor.equals("AuthenticAMD")) return cpu_vendor_amd;
  return cpu_vendor_other;
}

u32 leaf1_features(unsigned edx) {
  u32 features = 0;
  if (edx & (1u << 15)) features |= cpu_feature_cmov;
  if (edx & (1u << 4)) features |= cpu_feature_tsc;
  if (edx & (1u << 25)) features |= cpu_feature_sse;
  if (edx & (1u << 26)) features |= cpu_feature_sse2;
  if (edx & (1u << 28)) features |= cpu_feature_hyper_threading;
  return features;
}

} // namespace

void read_cpuid(cpu_t& cpu) {
  if (__get_cpuid_max(0, nullptr) == 0) return;
  const cpuid_registers_t leaf0 = query(0);
  char vendor[13] = {};
  copy_register(vendor, leaf0.ebx);
  copy_register(vendor + 4, leaf0.edx);
  copy_register(vendor + 8, leaf0.ecx);
  cpu.vendor.set(vendor);
  cpu.vendor_kind = vendor_kind(vendor);
  if (leaf0.eax >= 1) cpu.features = leaf1_features(query(1).edx);

  const unsigned extended = __get_cpuid_max(0x80000000u, nullptr);
  if (extended >= 0x80000004u) {
    char brand[49] = {};
    for (unsigned i = 0; i < 3; ++i) {
      const cpuid_registers_t r = query(0x80000002u + i);
      copy_register(brand + 16 * i, r.eax);
      copy_register(brand + 16 * i + 4, r.ebx);
      copy_register(brand + 16 * i + 8, r.ecx);
      copy_register(brand + 16 * i + 12, r.edx);
    }
    cpu.brand.set(brand);
  }
  if (extended >= 0x80000007u && (query(0x80000007u).edx & (1u << 8))) cpu.features |= cpu_feature_invariant_tsc;
}

} // namespace orvo
