#include "message_capture.h"

#include "ovcore/thread/sync.h"

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

namespace orvo {
namespace {

using testing::capture_handler_t;
using testing::with_log_capture;
using testing::with_stderr_log;

// Appends its id to a shared trace, to observe the dispatch order.
class tracing_handler_t : public message_handler_t {
public:
  tracing_handler_t(std::vector<int>& trace, int id) : trace_(trace), id_(id) {}
  void on_message(const string&, u32) override { trace_.push_back(id_); }

private:
  std::vector<int>& trace_;
  int id_;
};

TEST(message_dispatcher_lifetime, messages_without_dispatcher_are_lost_and_not_formatted) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  destroy_message_dispatcher();
  ASSERT_EQ(message_dispatcher(), nullptr);
  // Formatting this argument would crash: the child survives only when nothing is formatted.
  const char* unreadable = reinterpret_cast<const char*>(static_cast<uptr>(1));
  EXPECT_EXIT(
      {
        log_info("%s", unreadable);
        log_warning("%s", unreadable);
        log_error("%s", unreadable);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(message_dispatcher_lifetime, no_message_survives_until_a_dispatcher_or_handler_exists) {
  log_error("sent before start-up");
  create_message_dispatcher();
  log_error("sent before any handler");
  capture_handler_t log;
  message_dispatcher()->register_handler(&log);
  log_error("delivered");
  message_dispatcher()->unregister_handler(&log);
  destroy_message_dispatcher();
  log_error("sent after shutdown");
  EXPECT_EQ(log.texts(), std::vector<std::string>{"delivered"});
}

TEST_F(with_log_capture, senders_choose_the_level) {
  log_info("[fs] info %u", 1u);
  log_warning("[WRN] warning %s", "two");
  log_error("[ERR] error %d", -3);
  log_message(message_level_unused, "unused level");
  ASSERT_EQ(log.messages.size(), 4u);
  EXPECT_EQ(log.messages[0].text, "[fs] info 1");
  EXPECT_EQ(log.messages[0].level, 0u);
  EXPECT_EQ(log.messages[1].text, "[WRN] warning two");
  EXPECT_EQ(log.messages[1].level, 1u);
  EXPECT_EQ(log.messages[2].text, "[ERR] error -3");
  EXPECT_EQ(log.messages[2].level, 3u);
  EXPECT_EQ(log.messages[3].level, 2u);
}

TEST_F(with_log_capture, long_messages_arrive_whole) {
  const std::string long_text(5000, 'x');
  log_info("<%s>", long_text.c_str());
  ASSERT_EQ(log.messages.size(), 1u);
  EXPECT_EQ(log.messages[0].text, "<" + long_text + ">");
}

TEST_F(with_log_capture, microsoft_size_prefixes_format_64_bit_and_pointer_sized_values) {
  log_info("%I64u", static_cast<u64>(18446744073709551615ull));
  log_info("%I64X", static_cast<u64>(0x000001A930C6B20Aull));
  log_info("%.16I64X", static_cast<u64>(0x000001A930C6B20Aull));
  log_info("%I64d", static_cast<i64>(-9000000000ll));
  log_info("%Iu|%Ix", static_cast<size_t>(4000000000u), static_cast<size_t>(0xBEEFu));
  log_info("%s_patch_%.16I64X.log", "velmora2", static_cast<u64>(0x00ABCDEF12345678ull));
  // A 64-bit argument read at the wrong size would shift everything after it.
  log_info("%I64u %u %s", static_cast<u64>(0x100000001ull), 7u, "tail");
  log_info("%%I64u %I32u", 5u);
  EXPECT_EQ(log.texts(), (std::vector<std::string>{"18446744073709551615", "1A930C6B20A", "000001A930C6B20A",
                                                   "-9000000000", "4000000000|beef",
                                                   "velmora2_patch_00ABCDEF12345678.log", "4294967297 7 tail",
                                                   "%I64u 5"}));
}

TEST(message_dispatcher_handlers, ninth_handler_is_silently_not_registered) {
  create_message_dispatcher();
  capture_handler_t handlers[9];
  for (capture_handler_t& handler : handlers) message_dispatcher()->register_handler(&handler);
  log_info("hello");
  for (int i = 0; i < 8; ++i) EXPECT_EQ(handlers[i].texts(), std::vector<std::string>{"hello"}) << i;
  EXPECT_TRUE(handlers[8].messages.empty());
  for (int i = 0; i < 8; ++i) message_dispatcher()->unregister_handler(&handlers[i]);
  log_info("after");
  EXPECT_EQ(handlers[0].messages.size(), 1u);
  destroy_message_dispatcher();
}

TEST(message_dispatcher_handlers, unregistering_the_first_of_three_moves_the_third_into_its_slot) {
  create_message_dispatcher();
  std::vector<int> trace;
  tracing_handler_t first(trace, 1), second(trace, 2), third(trace, 3);
  message_dispatcher()->register_handler(&first);
  message_dispatcher()->register_handler(&second);
  message_dispatcher()->register_handler(&third);
  log_info("a");
  EXPECT_EQ(trace, (std::vector<int>{1, 2, 3}));
  trace.clear();
  message_dispatcher()->unregister_handler(&first);
  log_info("b");
  EXPECT_EQ(trace, (std::vector<int>{3, 2}));
  message_dispatcher()->unregister_handler(&second);
  message_dispatcher()->unregister_handler(&third);
  destroy_message_dispatcher();
}

TEST_F(with_stderr_log, unregistering_an_unknown_handler_is_a_failed_check) {
  capture_handler_t never_registered;
  EXPECT_DEATH(message_dispatcher()->unregister_handler(&never_registered),
               "level 3: collections/arrays/arrays_base_impl\\(544\\): .*: Iterator outside array boundaries\\.");
}

// Sends one more message from inside its first delivery.
class reentrant_handler_t : public capture_handler_t {
public:
  void on_message(const string& text, u32 level) override {
    capture_handler_t::on_message(text, level);
    if (messages.size() == 1) log_warning("nested after '%s'", text.c_str());
  }
};

TEST(message_dispatcher_handlers, a_handler_may_send_from_inside_its_delivery) {
  create_message_dispatcher();
  reentrant_handler_t handler;
  message_dispatcher()->register_handler(&handler);
  log_error("outer");
  ASSERT_EQ(handler.messages.size(), 2u);
  EXPECT_EQ(handler.messages[0].text, "outer");
  EXPECT_EQ(handler.messages[1].text, "nested after 'outer'");
  EXPECT_EQ(handler.messages[1].level, 1u);
  message_dispatcher()->unregister_handler(&handler);
  destroy_message_dispatcher();
}

// Registers a second handler while the first message is delivered.
class registering_handler_t : public capture_handler_t {
public:
  explicit registering_handler_t(message_handler_t& late) : late_(late) {}
  void on_message(const string& text, u32 level) override {
    capture_handler_t::on_message(text, level);
    if (messages.size() == 1) message_dispatcher()->register_handler(&late_);
  }

private:
  message_handler_t& late_;
};

TEST(message_dispatcher_handlers, a_handler_registered_during_dispatch_gets_the_current_message) {
  create_message_dispatcher();
  capture_handler_t late;
  registering_handler_t first(late);
  message_dispatcher()->register_handler(&first);
  log_info("m");
  EXPECT_EQ(late.texts(), std::vector<std::string>{"m"});
  message_dispatcher()->unregister_handler(&late);
  message_dispatcher()->unregister_handler(&first);
  destroy_message_dispatcher();
}

// Detects two threads inside on_message at once.
class overlap_detecting_handler_t : public message_handler_t {
public:
  void on_message(const string&, u32) override {
    if (inside_.exchange(true)) overlaps_++;
    thread::yield_thread();
    received_++;
    inside_ = false;
  }
  std::atomic<bool> inside_{false};
  std::atomic<int> overlaps_{0};
  std::atomic<int> received_{0};
};

void send_many(void*) {
  for (int i = 0; i < 300; ++i) log_info("message %d", i);
}

TEST(message_dispatcher_handlers, messages_of_different_threads_never_interleave) {
  create_message_dispatcher();
  overlap_detecting_handler_t handler;
  message_dispatcher()->register_handler(&handler);
  thread::thread_handle_t threads[3];
  for (thread::thread_handle_t& t : threads) {
    t = thread::create_thread(send_many, nullptr);
    ASSERT_NE(t, nullptr);
  }
  for (thread::thread_handle_t t : threads) thread::join_thread(t);
  EXPECT_EQ(handler.received_, 900);
  EXPECT_EQ(handler.overlaps_, 0);
  message_dispatcher()->unregister_handler(&handler);
  destroy_message_dispatcher();
}

} // namespace
} // namespace orvo
