#include "ovcore/system/counter_source.h"
#include "ovcore/system/processors.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace orvo {
namespace {

TEST(processor_frequency, mean_of_the_samples_not_below_eighty_percent_of_the_highest) {
  const std::pair<std::vector<u32>, u32> cases[] = {
      {{2000000, 2000000, 2000000, 1000, 2000000, 2000000, 2000000}, 2000000},
      {{1000, 900, 800, 801, 100}, (1000 + 900 + 801) / 3},
      {{}, 0},
      {{0, 0, 0, 0, 0, 0, 0}, 0},
  };
  for (const auto& [values, mean] : cases) {
    array_fixed_t<u32, 7> samples;
    for (u32 sample : values) samples.push(sample);
    EXPECT_EQ(mean_of_high_samples(samples), mean) << values.size();
  }
}

TEST(processor_frequency, sample_in_khz_with_overflow_replacement_and_the_registry_within_a_thousandth) {
  EXPECT_EQ(frequency_sample_khz(40000000, 20000), 2000000u);
  EXPECT_EQ(frequency_sample_khz(u64{1} << 60, 20000), frequency_sample_overflow);
  EXPECT_EQ(frequency_sample_khz(12345, 0), frequency_sample_overflow);
  EXPECT_EQ(choose_processor_frequency(2000000, true, 2001), 2001000u);
  EXPECT_EQ(choose_processor_frequency(1990000, true, 2001), 1990000u);
  EXPECT_EQ(choose_processor_frequency(2000000, false, 2001), 2000000u);
  EXPECT_EQ(choose_processor_frequency(0, true, 2001), 0u);
}

TEST(counter_source, classification_by_frequency) {
  const std::tuple<u64, u32, const char*> cases[] = {
      {3579545, 2000000, "ACPI (PM Clock)"}, {1193182, 0, "PIT 8254"},     {0, 2000000, "unknown"},
      {2000000000, 2000000, "TSC"},          {1953125, 2000000, "TSC invariant"}, {10000000, 2000000, "HPET"},
      {2000000000, 0, "HPET"},               {9999999, 0, "unknown"},
  };
  for (const auto& [counter, processor_khz, name] : cases)
    EXPECT_STREQ(counter_source_name(classify_counter_source(counter, processor_khz)), name) << counter;
}

TEST(processor_records, siblings_share_a_core_and_packages_keep_cores_apart) {
  // Two packages whose core ids both start at 0, with gaps and hyper-threaded siblings.
  const u32 listed[][2] = {{0, 0}, {0, 4}, {1, 0}, {0, 0}, {1, 0}, {0, 4}};  // package, platform core
  const u32 expected_core[] = {0, 1, 2, 0, 2, 1};
  const u32 expected_thread[] = {0, 0, 0, 1, 1, 1};
  array_dyn_t<processor_topology_t> topology;
  for (u32 i = 0; i < 6; ++i) {
    processor_topology_t t;
    t.processor_number = i;
    t.affinity_mask = 1u << i;
    t.package = listed[i][0];
    t.platform_core = listed[i][1];
    topology.push(t);
  }
  array_dyn_t<cpu_t> records;
  ASSERT_TRUE(build_processor_records(topology, records));
  ASSERT_EQ(records.size(), 6u);
  for (u32 i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(records[i].core, expected_core[i]);
    EXPECT_EQ(records[i].thread_index, expected_thread[i]);
    EXPECT_EQ(records[i].processor_number, i);
    EXPECT_EQ(records[i].affinity_mask, 1u << i);
    EXPECT_EQ(records[i].package, listed[i][0]);
  }
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
