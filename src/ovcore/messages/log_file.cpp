#include "ovcore/messages/log_file.h"

#include "ovcore/ufs/file_system.h"

#include <ctime>

namespace orvo {

namespace {

// The header counts as this many bytes against the size limit, whatever its length.
constexpr u32 header_size_allowance = 70;

const char* level_marker(u32 level) {
  if (level == message_level_warning) return "<WARNING> ";
  if (level == message_level_error) return "<ERROR> ";
  return "";
}

void format_local_date(char (&buffer)[256]) {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (!local || std::strftime(buffer, sizeof buffer, "%A %B %d %Y @ %H:%M:%S", local) == 0) buffer[0] = 0;
}

} // namespace

void append_log_time_stamp(mstring_t& out, u64 elapsed_us) {
  const i64 t = static_cast<i64>(elapsed_us / 1000);
  const i64 hours = t / 3600000;
  const i64 r1 = t - hours * 3600000;
  const i64 minutes = r1 / 60000;
  const i64 r2 = r1 - minutes * 60000;
  const i64 seconds = r2 / 1000;
  const i64 milliseconds = r2 - seconds * 1000;
  out.append_format("%02I64d:%02I64d:%02I64d.%03I64d : ", hours, minutes, seconds, milliseconds);
}

log_file_t::log_file_t(const string& path, log_clock_t clock) : clock_(clock) {
  if (path.empty()) return;
  file_ = open_file_create(path);
  start();
}

log_file_t::log_file_t(auto_ptr_t<file_t> file, log_clock_t clock) : file_(static_cast<auto_ptr_t<file_t>&&>(file)), clock_(clock) {
  start();
}

void log_file_t::start() {
  if (!file_) return;
  write_header();
  written_size_ += header_size_allowance;
  registered_with_ = message_dispatcher();
  if (registered_with_) registered_with_->register_handler(this);
  creation_time_ = clock_();
}

log_file_t::~log_file_t() {
  // A dispatcher destroyed in the meantime has no list left to leave.
  if (registered_with_ && file_ && message_dispatcher() == registered_with_)
    registered_with_->unregister_handler(this);
}

void log_file_t::write_header() {
  char date[256];
  format_local_date(date);
  file_->file_printf("************ : log created on : %s\r\n", date);
}

void log_file_t::on_message(const string& text, u32 level) {
  if (!file_ || level == message_level_unused) return;
  thread::scoped_lock_t guard(lock());
  if (size_limit_ != 0 && written_size_ > size_limit_) return;
  write_line(text, level);
  written_size_ += text.length();
  if (size_limit_ != 0 && written_size_ > size_limit_)
    file_->file_printf("%s", "********** The log file exceeded its limit size, truncated.");
}

void log_file_t::write_line(const string& text, u32 level) {
  string_dyn_t line;
  append_log_time_stamp(line, clock_() - creation_time_);
  line.append(level_marker(level));
  line.append(text.c_str());
  line.append("\r\n");
  file_->file_printf("%s", line.c_str());
}

} // namespace orvo
