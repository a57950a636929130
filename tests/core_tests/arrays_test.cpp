#include "message_capture.h"

#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/memory/auto_ptr.h"

#include <string>
#include <vector>

namespace orvo {
namespace {

using testing::with_stderr_log;

template <typename T>
std::vector<T> contents(const array_t<T>& array) {
  return std::vector<T>(array.begin(), array.end());
}

// Counts live instances, to see that arrays destroy what they hold.
struct counted_t {
  static inline int live = 0;
  counted_t() { ++live; }
  counted_t(const counted_t&) { ++live; }
  counted_t& operator=(const counted_t&) = default;
  ~counted_t() { --live; }
};

TEST(array_dyn, capacity_grows_by_twice_plus_two) {
  array_dyn_t<int> array;
  EXPECT_EQ(array.capacity(), 0u);
  std::vector<u32> capacities;
  for (int i = 0; i < 15; ++i) {
    ASSERT_TRUE(array.push(i));
    if (i == 0 || i == 2 || i == 6 || i == 14) capacities.push_back(array.capacity());
  }
  EXPECT_EQ(capacities, (std::vector<u32>{2, 6, 14, 30}));
  EXPECT_EQ(array.size(), 15u);
  EXPECT_EQ(array[14], 14);
  EXPECT_EQ(array[0], 0);
}

TEST(array_dyn, reserve_and_reserve_more) {
  array_dyn_t<int> array;
  EXPECT_TRUE(array.reserve_more(0));
  EXPECT_EQ(array.capacity(), 0u);
  EXPECT_TRUE(array.reserve(7));
  EXPECT_EQ(array.capacity(), 14u);
  EXPECT_TRUE(array.reserve(3));
  EXPECT_EQ(array.capacity(), 14u);
  ASSERT_TRUE(array.resize(10));
  EXPECT_TRUE(array.reserve_more(5));
  EXPECT_EQ(array.capacity(), 30u);
}

TEST(array_dyn, size_changes_never_shrink_storage_but_shrink_to_fit_does) {
  array_dyn_t<int> array;
  for (int i = 0; i < 7; ++i) ASSERT_TRUE(array.push(i * 10));
  array.remove(0);
  ASSERT_TRUE(array.resize(2));
  EXPECT_EQ(array.capacity(), 14u);
  array.shrink_to_fit();
  EXPECT_EQ(array.capacity(), 2u);
  EXPECT_EQ(contents(array), (std::vector<int>{10, 20}));
  array.clear();
  array.shrink_to_fit();
  EXPECT_EQ(array.capacity(), 0u);
  EXPECT_TRUE(array.push(5));
  EXPECT_EQ(contents(array), std::vector<int>{5});
}

struct alignas(8) huge_t {
  char bytes[sizeof(void*) == 8 ? 0x80000008u : 0x100u];
};

TEST(array_dyn, impossible_reservation_fails_and_leaves_the_array_unchanged) {
  array_dyn_t<huge_t> array;
  EXPECT_FALSE(array.reserve(0xFFFFFFFFu));
  EXPECT_FALSE(array.grow(0xFFFFFFFFu));
  EXPECT_EQ(array.capacity(), 0u);
  EXPECT_EQ(array.size(), 0u);
}

TEST(array_dyn, elements_keep_their_values_across_growth_and_moves) {
  array_dyn_t<std::string> array;
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(array.push(std::string(20, static_cast<char>('a' + i % 26))));
  array_dyn_t<std::string> moved(std::move(array));
  EXPECT_EQ(array.size(), 0u);
  ASSERT_EQ(moved.size(), 40u);
  EXPECT_EQ(moved[27], std::string(20, 'b'));
  array_dyn_t<std::string> assigned;
  ASSERT_TRUE(assigned.push(std::string("x")));
  assigned = std::move(moved);
  EXPECT_EQ(assigned.size(), 40u);
  EXPECT_EQ(assigned[39], std::string(20, 'n'));
}

TEST(array_dyn, destroys_its_elements) {
  counted_t::live = 0;
  {
    array_dyn_t<counted_t> array;
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(array.push(counted_t()));
    EXPECT_EQ(counted_t::live, 5);
    array.remove(1);
    array.remove_fast(0);
    EXPECT_EQ(counted_t::live, 3);
  }
  EXPECT_EQ(counted_t::live, 0);
}

TEST(array_dyn, arrays_of_owning_pointers_free_their_objects) {
  counted_t::live = 0;
  {
    array_dyn_t<auto_ptr_t<counted_t>> array;
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(array.push_move(auto_ptr_t<counted_t>(new counted_t)));
    array.remove(2);
    EXPECT_EQ(counted_t::live, 3);
  }
  EXPECT_EQ(counted_t::live, 0);
}

TEST(array_ops, remove_keeps_order_remove_fast_moves_the_last_element) {
  array_dyn_t<int> kept, fast;
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(kept.push(i));
    ASSERT_TRUE(fast.push(i));
  }
  kept.remove(1);
  fast.remove_fast(1);
  EXPECT_EQ(contents(kept), (std::vector<int>{0, 2, 3, 4}));
  EXPECT_EQ(contents(fast), (std::vector<int>{0, 4, 2, 3}));
  kept.remove(3);
  fast.remove_fast(3);
  EXPECT_EQ(contents(kept), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(contents(fast), (std::vector<int>{0, 4, 2}));
}

TEST(array_ops, element_access_copy_in_and_index_of) {
  array_dyn_t<wchar16_t> array;
  ASSERT_TRUE(array.resize(3));
  array.copy_in(0u, 0x1F600u);  // converted to a 16-bit unit
  array.copy_in(array.element_at(2), 'z');
  EXPECT_EQ(array[0], static_cast<wchar16_t>(0xF600));
  EXPECT_EQ(array[1], 0);
  EXPECT_EQ(array[2], u'z');
  EXPECT_EQ(array.index_of(array.element_at(2)), 2u);
  const array_t<wchar16_t>& view = array;
  EXPECT_EQ(view.element_at(0), array.data());
}

TEST(array_ops, append_block_copy_appends_all_elements) {
  array_dyn_t<std::string> target, source;
  ASSERT_TRUE(target.push(std::string("a")));
  for (const char* text : {"b", "c", "d"}) ASSERT_TRUE(source.push(std::string(text)));
  target.append_block_copy_or_abort(source);
  EXPECT_EQ(contents(target), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(source.size(), 3u);
  target.append_block_copy_or_abort(target);
  EXPECT_EQ(contents(target), (std::vector<std::string>{"a", "b", "c", "d", "a", "b", "c", "d"}));
}

TEST(array_fixed, full_array_refuses_push_and_stays_unchanged) {
  array_fixed_t<int, 3> array;
  EXPECT_EQ(array.capacity(), 3u);
  for (int i = 1; i <= 3; ++i) ASSERT_TRUE(array.push(i));
  EXPECT_FALSE(array.push(4));
  EXPECT_FALSE(array.resize(4));
  EXPECT_TRUE(array.reserve(3));
  EXPECT_FALSE(array.reserve(4));
  EXPECT_EQ(contents(array), (std::vector<int>{1, 2, 3}));
  array.shrink_to_fit();
  EXPECT_EQ(array.capacity(), 3u);
  array.remove(0);
  EXPECT_TRUE(array.push(9));
  EXPECT_EQ(contents(array), (std::vector<int>{2, 3, 9}));
}

TEST(array_fixed, storage_lies_inside_the_object) {
  array_fixed_t<u32, 8> array;
  ASSERT_TRUE(array.push(1u));
  const auto* object = reinterpret_cast<const char*>(&array);
  const auto* data = reinterpret_cast<const char*>(array.data());
  EXPECT_GE(data, object);
  EXPECT_LT(data, object + sizeof(array));
}

TEST(array_fixed, destroys_its_elements) {
  counted_t::live = 0;
  {
    array_fixed_t<counted_t, 4> array;
    ASSERT_TRUE(array.push(counted_t()));
    ASSERT_TRUE(array.push(counted_t()));
    EXPECT_EQ(counted_t::live, 2);
  }
  EXPECT_EQ(counted_t::live, 0);
}

// Failed checks name the array source, the line of the operation and the message.
using array_checks = with_stderr_log;

std::string index_failure(u32 line) {
  return "level 3: collections/arrays/arrays_base_impl\\(" + std::to_string(line) +
         "\\): .*: Index outside array boundaries\\.";
}
std::string iterator_failure(u32 line) {
  return "level 3: collections/arrays/arrays_base_impl\\(" + std::to_string(line) +
         "\\): .*: Iterator outside array boundaries\\.";
}

TEST_F(array_checks, index_operations_check_against_the_size) {
  array_dyn_t<int> array;
  ASSERT_TRUE(array.reserve(10));
  ASSERT_TRUE(array.push(1));
  ASSERT_TRUE(array.push(2));
  const array_t<int>& view = array;
  int value = 5;
  EXPECT_DEATH(array[2] = 0, index_failure(484));
  EXPECT_DEATH(value = view[2], index_failure(470));
  EXPECT_DEATH(array.element_at(2), index_failure(512));
  EXPECT_DEATH(view.element_at(5), index_failure(498));
  EXPECT_DEATH(array.copy_in(2u, 3), index_failure(571));
  EXPECT_DEATH(array.move_in(2u, value), index_failure(595));
  EXPECT_DEATH(array.remove(2), index_failure(1050));
  EXPECT_DEATH(array.remove_fast(2), index_failure(1102));
  EXPECT_EQ(value, 5);
}

TEST_F(array_checks, empty_array_index_zero_fails) {
  array_fixed_t<int, 4> array;
  EXPECT_DEATH(array[0] = 1, index_failure(484));
  EXPECT_DEATH(array.remove(0), index_failure(1050));
}

TEST_F(array_checks, iterator_operations_check_the_element_lies_inside) {
  array_dyn_t<int> array;
  ASSERT_TRUE(array.reserve(10));
  ASSERT_TRUE(array.push(1));
  ASSERT_TRUE(array.push(2));
  int outside = 0;
  EXPECT_DEATH(array.index_of(array.end()), iterator_failure(544));
  EXPECT_DEATH(array.index_of(array.begin() - 1), iterator_failure(544));
  EXPECT_DEATH(array.copy_in(array.end(), 3), iterator_failure(618));
  EXPECT_DEATH(array.move_in(&outside, outside), iterator_failure(640));
}

TEST_F(array_checks, append_block_copy_that_cannot_grow_is_a_failed_check) {
  array_fixed_t<int, 3> target;
  array_dyn_t<int> source;
  ASSERT_TRUE(target.push(1));
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(source.push(i));
  EXPECT_DEATH(target.append_block_copy_or_abort(source),
               "level 3: collections/arrays/arrays_base_impl\\(1675\\): .*: Failed to append_block_copy array\\.");
}

} // namespace
} // namespace orvo
