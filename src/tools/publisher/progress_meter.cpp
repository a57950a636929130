#include "tools/publisher/progress_meter.h"

#include <unistd.h>

#include <cinttypes>
#include <cstdio>

namespace orvo::publisher {

namespace {

constexpr u32 bar_width = 30;
constexpr u32 per_mille = 1000;
constexpr u32 plain_line_every = 100;  // per mille

} // namespace

progress_meter_t::progress_meter_t() : terminal_(isatty(fileno(stderr)) != 0) {}

void progress_meter_t::start(const std::string& step, u64 total) {
  step_ = step;
  total_ = total;
  done_ = 0;
  shown_ = ~u32(0);
  show(0);
}

void progress_meter_t::advance(u64 amount) {
  done_ += amount;
  const u64 done = done_ < total_ ? done_ : total_;
  show(total_ ? static_cast<u32>(done * per_mille / total_) : per_mille);
}

void progress_meter_t::finish() {
  show(per_mille);
  if (terminal_) std::fputc('\n', stderr);
}

void progress_meter_t::show(u32 value) {
  if (value == shown_ || (!terminal_ && value / plain_line_every == shown_ / plain_line_every)) return;
  shown_ = value;
  if (!terminal_) {
    std::fprintf(stderr, "%s: %u%% (%" PRIu64 " of %" PRIu64 " bytes)\n", step_.c_str(), value / 10, done_, total_);
    return;
  }
  char bar[bar_width + 1];
  const u32 filled = value * bar_width / per_mille;
  for (u32 i = 0; i < bar_width; ++i) bar[i] = i < filled ? '#' : '-';
  bar[bar_width] = 0;
  std::fprintf(stderr, "\r%-10s [%s] %3u.%u%%", step_.c_str(), bar, value / 10, value % 10);
  std::fflush(stderr);
}

} // namespace orvo::publisher
