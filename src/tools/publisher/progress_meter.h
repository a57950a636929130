#pragma once
#include "ovcore/types.h"

#include <string>

namespace orvo::publisher {

// Shows how far a long step is on standard error: a bar redrawn in place on a terminal, a plain
// line at every tenth otherwise. Used from one thread.
class progress_meter_t {
public:
  progress_meter_t();
  void start(const std::string& step, u64 total);
  void advance(u64 amount);
  void finish();

private:
  void show(u32 tenth_of_percent);

  bool terminal_;
  std::string step_;
  u64 total_ = 0;
  u64 done_ = 0;
  u32 shown_ = ~u32(0);
};

} // namespace orvo::publisher
