#pragma once
#include "ovcore/memory/auto_ptr.h"
#include "ovcore/messages/message_dispatcher.h"
#include "ovcore/system/runtime_clock.h"
#include "ovcore/ufs/fs_file.h"

namespace orvo {

// Microsecond clock that time stamps the lines.
using log_clock_t = u64 (*)();

// The message handler that writes each message as one time-stamped line into a text file,
// synchronously, so the file is complete up to the last message before a crash.
class log_file_t final : public message_handler_t {
public:
  // Creates the file anew, writes the header and registers with the dispatcher. An empty path
  // or a file that cannot be created leaves a handler without a file that is not registered.
  explicit log_file_t(const string& path, log_clock_t clock = runtime_clock_now);
  // The same over a file already created; null leaves a handler without a file.
  explicit log_file_t(auto_ptr_t<file_t> file, log_clock_t clock = runtime_clock_now);
  ~log_file_t() override;
  log_file_t(const log_file_t&) = delete;
  log_file_t& operator=(const log_file_t&) = delete;

  void on_message(const string& text, u32 level) override;

  // 0 = unlimited. Once the counted text exceeds the limit, one notice is written and every
  // later message is dropped.
  void set_size_limit(u32 limit) { size_limit_ = limit; }
  bool is_open() const { return file_.get() != nullptr; }

private:
  void start();
  void write_header();
  void write_line(const string& text, u32 level);

  auto_ptr_t<file_t> file_;
  u32 written_size_ = 0;
  u32 size_limit_ = 0;
  message_dispatcher_t* registered_with_ = nullptr;
  u64 creation_time_ = 0;
  log_clock_t clock_;
};

// Appends "hh:mm:ss.mmm : " for an elapsed time; the hours are not wrapped.
void append_log_time_stamp(mstring_t& out, u64 elapsed_us);

} // namespace orvo
