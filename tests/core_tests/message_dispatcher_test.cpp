#include "common/log_capture.h"
#include "message_capture.h"

#include "ovcore/thread/sync.h"

#include <atomic>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace orvo {
namespace {

// Appends "<id>:<text>" to a shared trace, to observe delivery and its order.
class tracing_handler_t : public message_handler_t {
public:
  tracing_handler_t(std::vector<std::string>& trace, char id) : trace_(trace), id_(id) {}
  void on_message(const string& text, u32) override { trace_.push_back(std::string(1, id_) + ":" + text.c_str()); }

private:
  std::vector<std::string>& trace_;
  char id_;
};

// A dispatcher without handlers of its own for the duration of a test.
class dispatcher_test : public ::testing::Test {
protected:
  void SetUp() override { create_message_dispatcher(); }
  void TearDown() override { destroy_message_dispatcher(); }
  std::vector<std::string> trace_;
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

  std::vector<std::string> trace;
  tracing_handler_t handler(trace, 'h');
  log_error("sent before start-up");
  create_message_dispatcher();
  log_error("sent before any handler");
  message_dispatcher()->register_handler(&handler);
  log_error("delivered");
  message_dispatcher()->unregister_handler(&handler);
  destroy_message_dispatcher();
  log_error("sent after shutdown");
  EXPECT_EQ(trace, std::vector<std::string>{"h:delivered"});
}

TEST(message_senders, format_at_their_level_with_microsoft_size_prefixes) {
  testing::log_capture_t log;
  const std::string long_text(5000, 'x');
  log_info("[fs] info %u", 1u);
  log_warning("[WRN] warning %s", "two");
  log_error("[ERR] error %d", -3);
  log_message(message_level_unused, "unused level");
  log_info("<%s>", long_text.c_str());
  log_info("%I64u", static_cast<u64>(18446744073709551615ull));
  log_info("%I64X", static_cast<u64>(0x000001A930C6B20Aull));
  log_info("%.16I64X", static_cast<u64>(0x000001A930C6B20Aull));
  log_info("%I64d", static_cast<i64>(-9000000000ll));
  log_info("%Iu|%Ix", static_cast<size_t>(4000000000u), static_cast<size_t>(0xBEEFu));
  // A 64-bit argument read at the wrong size would shift everything after it.
  log_info("%I64u %u %s", static_cast<u64>(0x100000001ull), 7u, "tail");
  log_info("%%I64u %I32u", 5u);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"[fs] info 1", "[WRN] warning two", "[ERR] error -3", "unused level",
                                                 "<" + long_text + ">", "18446744073709551615", "1A930C6B20A",
                                                 "000001A930C6B20A", "-9000000000", "4000000000|beef",
                                                 "4294967297 7 tail", "%I64u 5"}));
  EXPECT_EQ(log.levels, (std::vector<u32>{0, 1, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(dispatcher_test, eight_handlers_at_most_and_the_last_fills_a_freed_slot) {
  std::deque<tracing_handler_t> handlers;
  for (char id = 'a'; id <= 'i'; ++id) handlers.emplace_back(trace_, id);
  for (tracing_handler_t& handler : handlers) message_dispatcher()->register_handler(&handler);
  log_info("m");
  EXPECT_EQ(trace_, (std::vector<std::string>{"a:m", "b:m", "c:m", "d:m", "e:m", "f:m", "g:m", "h:m"}));
  trace_.clear();
  for (u32 i = 3; i < 8; ++i) message_dispatcher()->unregister_handler(&handlers[i]);
  message_dispatcher()->unregister_handler(&handlers[0]);
  log_info("n");
  EXPECT_EQ(trace_, (std::vector<std::string>{"c:n", "b:n"}));
  message_dispatcher()->unregister_handler(&handlers[1]);
  message_dispatcher()->unregister_handler(&handlers[2]);
}

using dispatcher_checks = testing::with_stderr_log;

TEST_F(dispatcher_checks, unregistering_an_unknown_handler_is_a_failed_check) {
  std::vector<std::string> trace;
  tracing_handler_t never_registered(trace, 'x');
  EXPECT_DEATH(message_dispatcher()->unregister_handler(&never_registered),
               "level 3: collections/arrays/arrays_base_impl\\(544\\): .*: Iterator outside array boundaries\\.");
}

// On its first message, sends one more and registers a late handler.
class busy_handler_t : public tracing_handler_t {
public:
  busy_handler_t(std::vector<std::string>& trace, message_handler_t& late)
      : tracing_handler_t(trace, 'b'), late_(late) {}
  void on_message(const string& text, u32 level) override {
    tracing_handler_t::on_message(text, level);
    if (first_) {
      first_ = false;
      message_dispatcher()->register_handler(&late_);
      log_warning("nested after '%s'", text.c_str());
    }
  }

private:
  message_handler_t& late_;
  bool first_ = true;
};

TEST_F(dispatcher_test, a_handler_may_send_and_register_from_inside_its_delivery) {
  tracing_handler_t late(trace_, 'l');
  busy_handler_t handler(trace_, late);
  message_dispatcher()->register_handler(&handler);
  log_error("outer");
  EXPECT_EQ(trace_,
            (std::vector<std::string>{"b:outer", "b:nested after 'outer'", "l:nested after 'outer'", "l:outer"}));
  message_dispatcher()->unregister_handler(&late);
  message_dispatcher()->unregister_handler(&handler);
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

TEST_F(dispatcher_test, messages_of_different_threads_never_interleave) {
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
}

} // namespace
} // namespace orvo
