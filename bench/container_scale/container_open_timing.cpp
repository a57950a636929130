#include "container_open_timing.h"

#include "patch/container_format.h"

#include <chrono>

namespace orvo::bench {

namespace {

using steady_clock_t = std::chrono::steady_clock;

// Notes when the reader starts on the chunks.
class reading_start_t final : public progress_callback_t {
public:
  bool call(const task_progress_t& progress) override {
    if (progress.stage_id == patch::stage_reading_chunks && !seen_) {
      seen_ = true;
      time_ = steady_clock_t::now();
    }
    return true;
  }
  bool seen() const { return seen_; }
  steady_clock_t::time_point time() const { return time_; }

private:
  bool seen_ = false;
  steady_clock_t::time_point time_;
};

double seconds_between(steady_clock_t::time_point start, steady_clock_t::time_point end) {
  return std::chrono::duration<double>(end - start).count();
}

} // namespace

container_open_timing_t time_container_open(patch::container_pool_t& pool, const std::vector<u8>& container,
                                            const public_key_file_t& key) {
  reading_start_t reading;
  const steady_clock_t::time_point start = steady_clock_t::now();
  const patch::container_open_result_t result =
      pool.add_container(container.data(), static_cast<u32>(container.size()), &reading, key.keys());
  const steady_clock_t::time_point end = steady_clock_t::now();
  return {result, seconds_between(start, end), reading.seen() ? seconds_between(reading.time(), end) : 0};
}

} // namespace orvo::bench
