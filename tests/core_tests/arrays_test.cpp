#include "message_capture.h"

#include "ovcore/collections/arrays/arrays.h"
#include "ovcore/memory/auto_ptr.h"

#include <functional>
#include <string>
#include <vector>

namespace orvo {
namespace {

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

TEST(array_dyn, capacity_grows_by_twice_plus_two_and_shrinks_only_when_asked) {
  array_dyn_t<int> reserved;
  EXPECT_TRUE(reserved.reserve_more(0));
  EXPECT_EQ(reserved.capacity(), 0u);
  EXPECT_TRUE(reserved.reserve(7));
  EXPECT_TRUE(reserved.reserve(3));
  EXPECT_EQ(reserved.capacity(), 14u);

  array_dyn_t<int> array;
  std::vector<u32> capacities;
  for (int i = 0; i < 15; ++i) {
    ASSERT_TRUE(array.push(i * 10));
    if (i == 0 || i == 2 || i == 6 || i == 14) capacities.push_back(array.capacity());
  }
  EXPECT_EQ(capacities, (std::vector<u32>{2, 6, 14, 30}));
  ASSERT_TRUE(array.resize(10));
  EXPECT_TRUE(array.reserve_more(25));
  EXPECT_EQ(array.capacity(), 62u);

  array.remove(0);
  ASSERT_TRUE(array.resize(2));
  EXPECT_EQ(array.capacity(), 62u);
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

  array_dyn_t<int> filled;
  ASSERT_TRUE(filled.resize(10));
  EXPECT_FALSE(filled.grow(0xFFFFFFFFu - 5));
  EXPECT_EQ(filled.capacity(), 14u);
}

TEST(array_dyn, elements_keep_their_values_across_growth_and_moves) {
  array_dyn_t<std::string> array;
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(array.push(std::string(20, static_cast<char>('a' + i % 26))));
  array_dyn_t<std::string> moved(std::move(array));
  EXPECT_EQ(array.size(), 0u);
  ASSERT_EQ(moved.size(), 40u);
  array_dyn_t<std::string> assigned;
  ASSERT_TRUE(assigned.push(std::string("x")));
  assigned = std::move(moved);
  EXPECT_EQ(assigned.size(), 40u);
  EXPECT_EQ(assigned[27], std::string(20, 'b'));
  EXPECT_EQ(assigned[39], std::string(20, 'n'));
}

TEST(array_variants, destroy_their_elements) {
  counted_t::live = 0;
  {
    array_dyn_t<counted_t> array;
    array_fixed_t<counted_t, 4> fixed;
    array_dyn_t<auto_ptr_t<counted_t>> owning;
    for (int i = 0; i < 4; ++i) {
      ASSERT_TRUE(array.push(counted_t()));
      ASSERT_TRUE(fixed.push(counted_t()));
      ASSERT_TRUE(owning.push_move(auto_ptr_t<counted_t>(new counted_t)));
    }
    array.remove(1);
    array.remove_fast(0);
    owning.remove(2);
    EXPECT_EQ(counted_t::live, 2 + 4 + 3);
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
  EXPECT_EQ(contents(array), (std::vector<wchar16_t>{0xF600, 0, u'z'}));
  EXPECT_EQ(array.index_of(array.element_at(2)), 2u);
  const array_t<wchar16_t>& view = array;
  EXPECT_EQ(view.element_at(0), array.data());
}

TEST(array_ops, append_block_copy_appends_all_elements_even_its_own) {
  array_dyn_t<std::string> target, source;
  ASSERT_TRUE(target.push(std::string("a")));
  for (const char* text : {"b", "c"}) ASSERT_TRUE(source.push(std::string(text)));
  target.append_block_copy_or_abort(source);
  EXPECT_EQ(source.size(), 2u);
  target.append_block_copy_or_abort(target);
  EXPECT_EQ(contents(target), (std::vector<std::string>{"a", "b", "c", "a", "b", "c"}));
}

TEST(array_fixed, full_array_refuses_to_grow_and_stays_unchanged) {
  array_fixed_t<int, 3> array;
  for (int i = 1; i <= 3; ++i) ASSERT_TRUE(array.push(i));
  EXPECT_FALSE(array.push(4));
  EXPECT_FALSE(array.resize(4));
  EXPECT_TRUE(array.reserve(3));
  EXPECT_FALSE(array.reserve(4));
  array.shrink_to_fit();
  EXPECT_EQ(array.capacity(), 3u);
  EXPECT_EQ(contents(array), (std::vector<int>{1, 2, 3}));
  array.remove(0);
  EXPECT_TRUE(array.push(9));
  EXPECT_EQ(contents(array), (std::vector<int>{2, 3, 9}));
}

// Failed checks name the array source, the line of the operation and the message.
using array_checks = testing::with_stderr_log;

TEST_F(array_checks, operations_outside_the_elements_are_failed_checks) {
  array_dyn_t<int> array;
  ASSERT_TRUE(array.reserve(10));
  ASSERT_TRUE(array.push(1));
  ASSERT_TRUE(array.push(2));
  array_fixed_t<int, 4> empty;
  array_fixed_t<int, 1> full;
  ASSERT_TRUE(full.push(1));
  const array_t<int>& view = array;
  int value = 5;
  struct failed_check_t {
    std::function<void()> operation;
    u32 line;
    const char* message;
  };
  const char* const index = "Index outside array boundaries";
  const char* const iterator = "Iterator outside array boundaries";
  const failed_check_t cases[] = {
      {[&] { array[2] = 0; }, 484, index},
      {[&] { value = view[2]; }, 470, index},
      {[&] { array.element_at(2); }, 512, index},
      {[&] { view.element_at(5); }, 498, index},
      {[&] { array.copy_in(2u, 3); }, 571, index},
      {[&] { array.move_in(2u, value); }, 595, index},
      {[&] { array.remove(2); }, 1050, index},
      {[&] { array.remove_fast(2); }, 1102, index},
      {[&] { empty[0] = 1; }, 484, index},
      {[&] { empty.remove(0); }, 1050, index},
      {[&] { array.index_of(array.end()); }, 544, iterator},
      {[&] { array.index_of(array.begin() - 1); }, 544, iterator},
      {[&] { array.copy_in(array.end(), 3); }, 618, iterator},
      {[&] { array.move_in(&value, value); }, 640, iterator},
      {[&] { full.append_block_copy_or_abort(array); }, 1675, "Failed to append_block_copy array"},
  };
  for (const failed_check_t& c : cases)
    EXPECT_DEATH(c.operation(), "level 3: collections/arrays/arrays_base_impl\\(" + std::to_string(c.line) +
                                    "\\): .*: " + c.message + "\\.");
  EXPECT_EQ(value, 5);
}

} // namespace
} // namespace orvo
