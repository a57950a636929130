// Asynchronous requests: the I/O thread's queue, the request pool and the running backend.
#include "fs_test_support.h"

#include "ovcore/ufs/fs_io_queue.h"
#include "ovcore/ufs/fs_request_pool.h"

#include <vector>

namespace orvo::testing {
namespace {

using completion_t = std::pair<fs_io_request_t*, bool>;

// Issues nothing to a platform: the test decides when operations finish.
class held_issuer_t final : public fs_io_issuer_t {
public:
  bool issue(fs_io_request_t* request) override {
    issued.push_back(request);
    return !refuse;
  }
  void signal(fs_io_request_t* request) override {
    request->state = fs_request_complete;
    completed.push_back({request, request->result});
  }
  std::vector<fs_io_request_t*> issued;
  std::vector<completion_t> completed;
  bool refuse = false;
};

TEST(io_queue, eight_in_flight_the_rest_issued_in_posting_order_as_others_complete) {
  held_issuer_t issuer;
  fs_io_queue_t queue(issuer);
  fs_io_request_t requests[20];
  for (fs_io_request_t& request : requests) {
    request.state = fs_request_posted;
    queue.accept(&request);
  }
  ASSERT_EQ(issuer.issued.size(), 8u);
  EXPECT_EQ(requests[7].state, fs_request_issued);
  EXPECT_EQ(requests[8].state, fs_request_queued);
  EXPECT_EQ(queue.in_flight(), 8u);
  EXPECT_EQ(queue.queued(), 12u);

  queue.finish(&requests[3], true);
  EXPECT_EQ(issuer.issued.size(), 9u);
  EXPECT_EQ(queue.in_flight(), 8u);
  EXPECT_EQ(issuer.completed, (std::vector<completion_t>{{&requests[3], true}}));
  for (u32 i = 0; issuer.issued.size() < 20; ++i)
    if (i != 3) queue.finish(&requests[i], true);
  ASSERT_EQ(issuer.issued.size(), 20u);
  for (u32 i = 0; i < 20; ++i) EXPECT_EQ(issuer.issued[i], &requests[i]) << i;
}

TEST(io_queue, a_request_the_platform_refuses_completes_with_false) {
  held_issuer_t issuer;
  issuer.refuse = true;
  fs_io_queue_t queue(issuer);
  fs_io_request_t request;
  queue.accept(&request);
  EXPECT_EQ(queue.in_flight(), 0u);
  EXPECT_EQ(issuer.completed, (std::vector<completion_t>{{&request, false}}));
}

TEST(io_queue, stop_fails_queued_requests_and_lets_issued_ones_finish) {
  held_issuer_t issuer;
  fs_io_queue_t queue(issuer);
  fs_io_request_t requests[12];
  for (fs_io_request_t& request : requests) queue.accept(&request);
  queue.stop();
  EXPECT_EQ(issuer.completed, (std::vector<completion_t>{{&requests[8], false},
                                                          {&requests[9], false},
                                                          {&requests[10], false},
                                                          {&requests[11], false}}));
  EXPECT_EQ(queue.queued(), 0u);

  queue.finish(&requests[0], true);
  EXPECT_EQ(issuer.completed.back(), completion_t(&requests[0], true));
  fs_io_request_t late;
  queue.accept(&late);
  EXPECT_EQ(issuer.completed.back(), completion_t(&late, false));
  EXPECT_EQ(issuer.issued.size(), 8u);
}

TEST(request_pool, grows_in_doubling_blocks_and_reuses_requests) {
  fs_request_pool_t pool;
  EXPECT_EQ(pool.capacity(), 0u);
  std::vector<fs_io_request_t*> taken;
  for (const auto& [count, capacity] : {std::pair{7u, 7u}, {8u, 21u}, {22u, 49u}}) {
    while (taken.size() < count) taken.push_back(pool.take());
    EXPECT_EQ(pool.capacity(), capacity) << count;
  }
  for (fs_io_request_t* request : taken) {
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request->state, 0u);
  }
  taken[5]->state = fs_request_complete;
  pool.give_back(taken[5]);
  fs_io_request_t* again = pool.take();
  EXPECT_EQ(again, taken[5]);
  EXPECT_EQ(again->state, 0u);
  EXPECT_EQ(pool.capacity(), 49u);
}

using io_thread_test = fs_test_t;

TEST_F(io_thread_test, simultaneous_reads_all_complete_with_their_bytes) {
  const u32 chunk = 256 * 1024;
  const std::string content = pattern_bytes(9 * chunk);
  write_native(path("nine.bin"), content);
  auto_ptr_t<file_t> file = open_file_read(path("nine.bin").c_str());
  ASSERT_TRUE(file);
  std::vector<std::string> buffers(9, std::string(chunk, '\0'));
  fs_io_request_t* requests[9];
  // Posted in reverse so that the offsets arrive out of order.
  for (u32 index = 9; index-- > 0;) {
    requests[index] = file->io_read(buffers[index].data(), chunk, static_cast<u64>(index) * chunk);
    ASSERT_NE(requests[index], nullptr);
  }
  for (u32 i = 0; i < 9; ++i) {
    EXPECT_TRUE(file->wait(requests[i]));
    EXPECT_EQ(buffers[i], content.substr(i * chunk, chunk)) << i;
  }

  // Polling, a released request and a short read.
  char buffer[4096];
  fs_io_request_t* request = file->io_read(buffer, sizeof(buffer), 0);
  ASSERT_NE(request, nullptr);
  while (!file->is_done(request)) thread::sleep_ms(1);
  EXPECT_TRUE(file->wait(request));
  fs_io_request_t* beyond = file->io_read(buffer, 10, 9 * chunk + 100);
  ASSERT_NE(beyond, nullptr);
  file->release(beyond);
  fs_io_request_t* short_read = file->io_read(buffer, 100, 9 * chunk - 6);
  ASSERT_NE(short_read, nullptr);
  EXPECT_FALSE(file->wait(short_read));
  // Writing to a file opened for reading fails.
  EXPECT_FALSE(file->write("xx", 2));
  EXPECT_EQ(file->position(), 0u);
}

TEST_F(io_thread_test, writes_at_offsets_land_where_asked) {
  auto_ptr_t<file_t> file = open_file_create(path("w.bin").c_str());
  ASSERT_TRUE(file);
  fs_io_request_t* second = file->io_write("WORLD", 5, 5);
  fs_io_request_t* first = file->io_write("HELLO", 5, 0);
  ASSERT_NE(second, nullptr);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(file->wait(first));
  EXPECT_TRUE(file->wait(second));
  EXPECT_EQ(file->get_size(), 10u);
  file.reset();
  EXPECT_EQ(read_native(path("w.bin")), "HELLOWORLD");
}

TEST_F(io_thread_test, stopping_with_requests_outstanding_completes_every_one) {
  const u32 chunk = 64 * 1024;
  const std::string content = pattern_bytes(64 * chunk);
  write_native(path("stop.bin"), content);
  auto_ptr_t<file_t> file = open_file_read(path("stop.bin").c_str());
  ASSERT_TRUE(file);
  std::vector<std::string> buffers(64, std::string(chunk, '\0'));
  std::vector<fs_io_request_t*> requests;
  for (u32 i = 0; i < 64; ++i) requests.push_back(file->io_read(buffers[i].data(), chunk, u64{i} * chunk));
  fs_shutdown();
  for (u32 i = 0; i < 64; ++i) {
    ASSERT_NE(requests[i], nullptr);
    if (file->wait(requests[i])) {
      EXPECT_EQ(buffers[i], content.substr(i * chunk, chunk)) << i;
    }
  }
  // Once stopped, nothing more is accepted.
  EXPECT_EQ(file->io_read(buffers[0].data(), chunk, 0), nullptr);
  EXPECT_FALSE(file->read(buffers[0].data(), 10));
}

} // namespace
} // namespace orvo::testing
