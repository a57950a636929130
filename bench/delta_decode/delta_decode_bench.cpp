// Decodes a delta that rebuilds a large file mostly from its previous version, the way patching
// decodes an XDLT block, and compares the time with cp of the result and the peak memory with
// the budget.
//
// usage: delta_decode_bench [work folder] [size in MiB] [runs]
#include "ovcore/messages/message_dispatcher.h"
#include "ovcore/ufs/file_system.h"
#include "ovcore/ufs/fs_runtime.h"
#include "patch/adler32.h"
#include "patch/decode_delta.h"

#include <lzma.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace orvo;

namespace {

constexpr u64 window_size = 0x800000;
// One edit of edit_size bytes in every edit_spacing bytes: about 1% of the file changes.
constexpr u32 edit_spacing = 4096;
constexpr u32 edit_size = 41;
constexpr u32 block_header_size = 16;

class stderr_log_t final : public message_handler_t {
public:
  void on_message(const string& text, u32) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

struct random_t {
  u64 state;
  u64 next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  }
  void fill(u8* out, u64 size) {
    for (u64 i = 0; i < size; i += 8) {
      const u64 value = next();
      std::memcpy(out + i, &value, size - i < 8 ? size - i : 8);
    }
  }
};

using bytes_t = std::vector<u8>;

void put_integer(bytes_t& out, u64 value) {
  u8 digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<u8>(value & 0x7F);
    value >>= 7;
  } while (value);
  while (count-- > 0) out.push_back(static_cast<u8>(digits[count] | (count ? 0x80 : 0)));
}

// The section as the lzma secondary compressor stores it, or nothing when that is not smaller.
bool compress_section(const bytes_t& plain, bytes_t& out) {
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_easy_encoder(&stream, 1, LZMA_CHECK_NONE) != LZMA_OK) return false;
  bytes_t compressed(plain.size() + 4096);
  stream.next_in = plain.data();
  stream.avail_in = plain.size();
  stream.next_out = compressed.data();
  stream.avail_out = compressed.size();
  lzma_ret result = lzma_code(&stream, LZMA_RUN);
  while (result == LZMA_OK) result = lzma_code(&stream, LZMA_SYNC_FLUSH);
  compressed.resize(compressed.size() - stream.avail_out);
  lzma_end(&stream);
  out.clear();
  put_integer(out, plain.size());
  out.insert(out.end(), compressed.begin(), compressed.end());
  return result == LZMA_STREAM_END && out.size() < plain.size();
}

// One window: source segment = the same range of the source, COPY of the unchanged stretches
// and ADD of each edit, sections compressed where that makes them smaller, checksum present.
void encode_window(bytes_t& delta, u64 position, const u8* target, u32 length, const std::vector<u32>& edits) {
  bytes_t sections[3];  // data, instructions, addresses
  u32 at = 0;
  for (u32 edit : edits) {
    sections[1].push_back(19);  // COPY, size follows, address by itself
    put_integer(sections[1], edit - at);
    put_integer(sections[2], at);
    sections[1].push_back(1);  // ADD, size follows
    put_integer(sections[1], edit_size);
    sections[0].insert(sections[0].end(), target + edit, target + edit + edit_size);
    at = edit + edit_size;
  }
  if (at < length) {
    sections[1].push_back(19);
    put_integer(sections[1], length - at);
    put_integer(sections[2], at);
  }
  u8 indicator = 0;
  for (u32 i = 0; i < 3; ++i) {
    bytes_t compressed;
    if (compress_section(sections[i], compressed)) {
      sections[i].swap(compressed);
      indicator |= static_cast<u8>(1u << i);
    }
  }
  bytes_t body;
  put_integer(body, length);
  body.push_back(indicator);
  for (const bytes_t& section : sections) put_integer(body, section.size());
  const u32 checksum = patch::adler32_update(patch::adler32_initial, target, length);
  for (int shift = 24; shift >= 0; shift -= 8) body.push_back(static_cast<u8>(checksum >> shift));
  for (const bytes_t& section : sections) body.insert(body.end(), section.begin(), section.end());

  delta.push_back(0x01 | 0x04);
  put_integer(delta, length);
  put_integer(delta, position);
  put_integer(delta, body.size());
  delta.insert(delta.end(), body.begin(), body.end());
}

bool write_all(FILE* file, const void* data, size_t size) { return std::fwrite(data, 1, size, file) == size; }

// Writes the source and target files and the container holding the delta after a block header.
bool generate(const std::string& folder, u64 size, u64& delta_length) {
  FILE* source = std::fopen((folder + "/source.bin").c_str(), "wb");
  FILE* target = std::fopen((folder + "/target.bin").c_str(), "wb");
  FILE* container = std::fopen((folder + "/container.bin").c_str(), "wb");
  if (!source || !target || !container) return false;
  random_t content{0x9E3779B97F4A7C15ull}, edits{0xD1B54A32D192ED03ull};
  bytes_t window(window_size);
  bytes_t delta = {0xD6, 0xC3, 0xC4, 0x00, 0x01, 0x02};
  bool ok = true;
  for (u64 position = 0; position < size && ok; position += window_size) {
    const u32 length = static_cast<u32>(size - position < window_size ? size - position : window_size);
    content.fill(window.data(), length);
    ok = write_all(source, window.data(), length);
    std::vector<u32> changed;
    for (u32 region = 0; region + edit_spacing <= length; region += edit_spacing) {
      const u32 edit = region + static_cast<u32>(edits.next() % (edit_spacing - edit_size));
      edits.fill(window.data() + edit, edit_size);
      changed.push_back(edit);
    }
    ok = ok && write_all(target, window.data(), length);
    encode_window(delta, position, window.data(), length, changed);
  }
  const u8 block_header[block_header_size] = {'X', 'D', 'L', 'T'};
  ok = ok && write_all(container, block_header, sizeof(block_header)) && write_all(container, delta.data(), delta.size());
  delta_length = delta.size();
  return (std::fclose(source) == 0) & (std::fclose(target) == 0) & (std::fclose(container) == 0) && ok;
}

// User and system time of this process (who = RUSAGE_SELF) or of its waited-for children.
double cpu_seconds(int who) {
  rusage usage;
  getrusage(who, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Minor page faults of this process.
u64 page_faults() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<u64>(usage.ru_minflt);
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool same_files(const std::string& a, const std::string& b) {
  FILE* fa = std::fopen(a.c_str(), "rb");
  FILE* fb = std::fopen(b.c_str(), "rb");
  bool same = fa && fb;
  static bytes_t ba(1 << 20), bb(1 << 20);
  while (same) {
    const size_t na = std::fread(ba.data(), 1, ba.size(), fa);
    const size_t nb = std::fread(bb.data(), 1, bb.size(), fb);
    same = na == nb && std::memcmp(ba.data(), bb.data(), na) == 0;
    if (na == 0) break;
  }
  if (fa) std::fclose(fa);
  if (fb) std::fclose(fb);
  return same;
}

u64 peak_rss_kib() {
  FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return 0;
  char line[256];
  u64 kib = 0;
  while (std::fgets(line, sizeof(line), status))
    if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::strtoull(line + 6, nullptr, 10);
  std::fclose(status);
  return kib;
}

double time_command(const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  const double seconds = seconds_since(start);
  return status == 0 ? seconds : -1;
}

std::string load_average() {
  FILE* file = std::fopen("/proc/loadavg", "r");
  char text[64] = "?";
  if (file) {
    if (!std::fgets(text, sizeof(text), file)) text[0] = 0;
    std::fclose(file);
  }
  std::string load(text);
  return load.substr(0, load.find(' ', load.find(' ', load.find(' ') + 1) + 1));
}

struct decode_run_t {
  patch::decode_delta_result_t result = patch::decode_delta_internal_error;
  double seconds = 0;
  double cpu = 0;
  u64 faults = 0;
};

decode_run_t decode(const std::string& folder, u64 delta_length, u64 size) {
  decode_run_t run;
  std::remove((folder + "/output.bin").c_str());
  auto_ptr_t<file_t> container = open_file_read((folder + "/container.bin").c_str());
  auto_ptr_t<file_t> source = open_file_read((folder + "/source.bin").c_str());
  auto_ptr_t<file_t> output = open_file_create((folder + "/output.bin").c_str());
  if (!container || !source || !output) return run;
  sync();
  const double cpu_start = cpu_seconds(RUSAGE_SELF);
  const u64 faults_start = page_faults();
  const auto start = std::chrono::steady_clock::now();
  run.result = patch::decode_delta(*container, block_header_size, delta_length, source.get(), *output, nullptr,
                                   nullptr, size);
  run.seconds = seconds_since(start);
  run.cpu = cpu_seconds(RUSAGE_SELF) - cpu_start;
  run.faults = page_faults() - faults_start;
  return run;
}

// A copy into a file that does not exist yet, as the decoder's output is made. Every timed write
// starts with no dirty pages left by the one before, so none of them is throttled for another's.
double time_copy(const std::string& folder, const std::string& command, double* cpu = nullptr) {
  std::remove((folder + "/target.copy").c_str());
  sync();
  const double cpu_start = cpu_seconds(RUSAGE_CHILDREN);
  const double seconds = time_command(command);
  if (cpu) *cpu = cpu_seconds(RUSAGE_CHILDREN) - cpu_start;
  return seconds;
}

} // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : "/tmp/orvo_delta_bench";
  const u64 size = (argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024) << 20;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
  create_message_dispatcher();
  stderr_log_t log;
  message_dispatcher()->register_handler(&log);
  fs_startup();

  u64 delta_length = 0;
  if (!create_directories(folder.c_str()) || !generate(folder, size, delta_length)) {
    std::fprintf(stderr, "cannot write the files in %s\n", folder.c_str());
    return 1;
  }
  std::printf("target %llu MiB, delta %llu bytes, load %s\n", static_cast<unsigned long long>(size >> 20),
              static_cast<unsigned long long>(delta_length), load_average().c_str());
  const u64 rss_before = peak_rss_kib();

  const std::string target = "'" + folder + "/target.bin'";
  const std::string copy = "'" + folder + "/target.copy'";
  // cp may copy inside the kernel; cat and dd (8 MiB buffers) go through user memory as we do.
  const std::string cp = "cp " + target + " " + copy;
  const std::string cat = "cat " + target + " > " + copy;
  const std::string dd = "dd bs=8M status=none if=" + target + " of=" + copy;
  bool ok = true;
  for (int run = 1; run <= runs && ok; ++run) {
    double cp_cpu = 0;
    const double cp_seconds = time_copy(folder, cp, &cp_cpu);
    const double cat_seconds = time_copy(folder, cat);
    const double dd_seconds = time_copy(folder, dd);
    const decode_run_t decoded = decode(folder, delta_length, size);
    const bool identical = same_files(folder + "/target.bin", folder + "/output.bin");
    ok = decoded.result == 0 && identical;
    std::printf("run %d: decode_delta %.3f s (result %u, output %s), cp %.3f s, cat %.3f s, dd %.3f s\n", run,
                decoded.seconds, decoded.result, identical ? "identical to the target" : "DIFFERS from the target",
                cp_seconds, cat_seconds, dd_seconds);
    std::printf("       decode / cp = %.2f (target at most 1.50), decode / cat = %.2f, decode / dd = %.2f;"
                " processor time decode %.3f s, cp %.3f s; page faults while decoding %llu\n",
                decoded.seconds / cp_seconds, decoded.seconds / cat_seconds, decoded.seconds / dd_seconds, decoded.cpu,
                cp_cpu, static_cast<unsigned long long>(decoded.faults));
  }
  std::printf("peak RSS (VmHWM): %llu MiB, %llu MiB before decoding (target at most 320 MiB); load %s\n",
              static_cast<unsigned long long>(peak_rss_kib() >> 10), static_cast<unsigned long long>(rss_before >> 10),
              load_average().c_str());
  fs_shutdown();
  message_dispatcher()->unregister_handler(&log);
  for (const char* name : {"/source.bin", "/target.bin", "/target.copy", "/output.bin", "/container.bin"})
    std::remove((folder + name).c_str());
  return ok ? 0 : 1;
}
