#include "ovcore/system/counter_source.h"
#include "ovcore/system/processors.h"

#include <gtest/gtest.h>

#include <string>

namespace orvo {
namespace {

TEST(processor_frequency, outlier_samples_below_eighty_percent_are_dropped) {
  array_fixed_t<u32, 7> samples;
  for (u32 sample : {2000000u, 2000000u, 2000000u, 1000u, 2000000u, 2000000u, 2000000u}) samples.push(sample);
  EXPECT_EQ(mean_of_high_samples(samples), 2000000u);
}

TEST(processor_frequency, mean_of_the_kept_samples) {
  array_fixed_t<u32, 7> samples;
  for (u32 sample : {1000u, 900u, 800u, 801u, 100u}) samples.push(sample);
  EXPECT_EQ(mean_of_high_samples(samples), (1000u + 900u + 801u) / 3);
}

TEST(processor_frequency, no_usable_samples_give_zero) {
  array_fixed_t<u32, 7> samples;
  EXPECT_EQ(mean_of_high_samples(samples), 0u);
  for (int i = 0; i < 7; ++i) samples.push(0u);
  EXPECT_EQ(mean_of_high_samples(samples), 0u);
}

TEST(processor_frequency, sample_in_khz_with_overflow_replacement) {
  EXPECT_EQ(frequency_sample_khz(40000000, 20000), 2000000u);
  EXPECT_EQ(frequency_sample_khz(u64{1} << 60, 20000), frequency_sample_overflow);
  EXPECT_EQ(frequency_sample_khz(12345, 0), frequency_sample_overflow);
}

TEST(processor_frequency, registry_value_wins_only_within_a_thousandth) {
  EXPECT_EQ(choose_processor_frequency(2000000, true, 2001), 2001000u);
  EXPECT_EQ(choose_processor_frequency(1990000, true, 2001), 1990000u);
  EXPECT_EQ(choose_processor_frequency(2000000, false, 2001), 2000000u);
  EXPECT_EQ(choose_processor_frequency(0, true, 2001), 0u);
}

TEST(counter_source, classification_by_frequency) {
  EXPECT_STREQ(counter_source_name(classify_counter_source(3579545, 2000000)), "ACPI (PM Clock)");
  EXPECT_STREQ(counter_source_name(classify_counter_source(1193182, 0)), "PIT 8254");
  EXPECT_STREQ(counter_source_name(classify_counter_source(0, 2000000)), "unknown");
  EXPECT_STREQ(counter_source_name(classify_counter_source(2000000000, 2000000)), "TSC");
  EXPECT_STREQ(counter_source_name(classify_counter_source(1953125, 2000000)), "TSC invariant");
  EXPECT_STREQ(counter_source_name(classify_counter_source(10000000, 2000000)), "HPET");
  EXPECT_STREQ(counter_source_name(classify_counter_source(2000000000, 0)), "HPET");
  EXPECT_STREQ(counter_source_name(classify_counter_source(9999999, 0)), "unknown");
}

processor_topology_t listed(u32 number, u32 package, u32 core) {
  processor_topology_t t;
  t.processor_number = number;
  t.affinity_mask = 1u << number;
  t.package = package;
  t.platform_core = core;
  return t;
}

TEST(processor_records, siblings_share_a_core_and_packages_keep_cores_apart) {
  array_dyn_t<processor_topology_t> topology;
  // Two packages whose core ids both start at 0, with gaps and hyper-threaded siblings.
  for (const processor_topology_t& t :
       {listed(0, 0, 0), listed(1, 0, 4), listed(2, 1, 0), listed(3, 0, 0), listed(4, 1, 0), listed(5, 0, 4)})
    topology.push(t);
  array_dyn_t<cpu_t> records;
  ASSERT_TRUE(build_processor_records(topology, records));
  ASSERT_EQ(records.size(), 6u);
  const u32 expected_core[] = {0, 1, 2, 0, 2, 1};
  const u32 expected_thread[] = {0, 0, 0, 1, 1, 1};
  for (u32 i = 0; i < 6; ++i) {
    EXPECT_EQ(records[i].core, expected_core[i]) << i;
    EXPECT_EQ(records[i].thread_index, expected_thread[i]) << i;
    EXPECT_EQ(records[i].processor_number, i);
    EXPECT_EQ(records[i].affinity_mask, 1u << i);
  }
  EXPECT_EQ(records[2].package, 1u);
}

TEST(processor_table, detection_fills_a_consistent_table) {
  detect_processors();
  const array_t<cpu_t>& cpus = processors();
  ASSERT_FALSE(cpus.empty());
  const u32 cores = get_core_count();
  EXPECT_GE(cores, 1u);
  EXPECT_LE(cores, cpus.size());
  for (u32 core = 0; core < cores; ++core) {
    const cpu_t* first = find_core_processor(core);
    EXPECT_EQ(first->core, core);
    EXPECT_EQ(first->thread_index, 0u);
  }
  EXPECT_EQ(find_core_processor(cores + 100), &cpus[0]);
  const std::string vendor = cpus[0].vendor.c_str();
  EXPECT_EQ(vendor.size(), 12u);
  const u32 expected_kind =
      vendor == "GenuineIntel" ? cpu_vendor_intel : vendor == "AuthenticAMD" ? cpu_vendor_amd : cpu_vendor_other;
  EXPECT_EQ(cpus[0].vendor_kind, expected_kind);
  EXPECT_TRUE(cpus[0].features & cpu_feature_sse2);
  EXPECT_GT(cpus[0].frequency_khz, 100000u);
  for (const cpu_t& cpu : cpus) EXPECT_EQ(cpu.frequency_khz, cpus[0].frequency_khz);
}

} // namespace
} // namespace orvo
