#include "ovcore/messages/messages.h"
#include "ovutils/elf/elf_file.h"
#include "tools/patcher/embedded_container.h"

#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvo {

namespace {

const char* const program_file = "/proc/self/exe";

class program_source_t final : public elf_source_t {
public:
  program_source_t(int fd, u64 size) : fd_(fd), size_(size) {}
  u64 size() const override { return size_; }
  bool read_at(u64 offset, void* data, u32 size) override {
    u8* bytes = static_cast<u8*>(data);
    while (size > 0) {
      const ssize_t done = pread(fd_, bytes, size, static_cast<off_t>(offset));
      if (done <= 0) return false;
      bytes += done;
      offset += static_cast<u64>(done);
      size -= static_cast<u32>(done);
    }
    return true;
  }

private:
  int fd_;
  u64 size_;
};

embedded_container_status_t locate(int fd, elf_section_t& section) {
  struct stat status;
  if (fstat(fd, &status) != 0 || status.st_size < 0) return embedded_container_status_t::load_failed;
  program_source_t source(fd, static_cast<u64>(status.st_size));
  elf_header_t header;
  u32 index = 0;
  elf_result_t result = read_elf_header(source, header);
  if (result == elf_result_t::ok) result = find_elf_section(source, header, container_section_name, index, section);
  if (result == elf_result_t::ok) return section.file_size() == 0 ? embedded_container_status_t::empty
                                                                  : embedded_container_status_t::found;
  if (result != elf_result_t::not_found) log_error("[ERR] The program's ELF headers: %s", elf_result_name(result));
  return result == elf_result_t::io_error ? embedded_container_status_t::load_failed
                                          : embedded_container_status_t::not_found;
}

// Maps the section's range read-only; the mapping stays for the life of the process.
const void* map_section(int fd, const elf_section_t& section) {
  const u64 page = static_cast<u64>(sysconf(_SC_PAGESIZE));
  const u64 start = section.offset - section.offset % page;
  const u64 length = section.size + (section.offset - start);
  if (length > SIZE_MAX || start > static_cast<u64>(INT64_MAX)) return nullptr;
  void* mapped = mmap(nullptr, static_cast<size_t>(length), PROT_READ, MAP_PRIVATE, fd, static_cast<off_t>(start));
  if (mapped == MAP_FAILED) return nullptr;
  return static_cast<const u8*>(mapped) + (section.offset - start);
}

} // namespace

// The module instance has no role on Linux: the program reads its own file.
embedded_container_status_t find_embedded_container(void*, embedded_container_t& out) {
  out = {};
  const int fd = open(program_file, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    log_error("[ERR] Unable to open '%s'", program_file);
    return embedded_container_status_t::load_failed;
  }
  elf_section_t section;
  embedded_container_status_t status = locate(fd, section);
  if (status == embedded_container_status_t::found) {
    out.data = map_section(fd, section);
    out.size = section.size;
    if (!out.data) {
      log_error("[ERR] Unable to map %I64u bytes of '%s'", section.size, program_file);
      out = {};
      status = embedded_container_status_t::load_failed;
    }
  }
  close(fd);
  return status;
}

} // namespace orvo
