#pragma once
#include "ovcore/progress/task_progress.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace orvo::test {

// Records every report; answers false from report number abort_at on (0-based).
class progress_recorder_t final : public progress_callback_t {
public:
  explicit progress_recorder_t(size_t abort_at = SIZE_MAX, std::function<void()> on_report = {})
      : abort_at_(abort_at), on_report_(std::move(on_report)) {}
  bool call(const task_progress_t& progress) override {
    reports.push_back(progress);
    if (on_report_) on_report_();
    return reports.size() <= abort_at_;
  }
  std::vector<task_progress_t> reports;

private:
  size_t abort_at_;
  std::function<void()> on_report_;
};

} // namespace orvo::test
