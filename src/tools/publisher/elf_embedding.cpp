#include "ovcore/messages/messages.h"
#include "ovutils/elf/elf_file.h"
#include "tools/patcher/embedded_container.h"
#include "tools/publisher/executable_embedding.h"
#include "tools/publisher/file_io.h"

#include <algorithm>
#include <istream>
#include <string>
#include <vector>

namespace orvo::publisher {

namespace {

constexpr u64 container_alignment = 16;
constexpr u64 max_section_alignment = u64{1} << 20;

class stream_source_t final : public elf_source_t {
public:
  stream_source_t(std::istream& stream, u64 size) : stream_(stream), size_(size) {}
  u64 size() const override { return size_; }
  bool read_at(u64 offset, void* data, u32 size) override { return publisher::read_at(stream_, offset, data, size); }

private:
  std::istream& stream_;
  u64 size_;
};


// The rewritten file: everything up to the end of the last loaded byte stays as it is; the
// sections after it that are not loaded (symbols, names, the container), then the section table,
// are laid out anew behind it.
class elf_rewrite_t {
public:
  explicit elf_rewrite_t(const embedding_t& embedding) : embedding_(embedding), source_(embedding.program, embedding.program_size) {}

  bool run() { return read() && plan() && write(); }

private:
  struct moved_section_t {
    u32 index;
    u64 new_offset;
  };

  bool fail(const char* text) {
    log_error("[ERR] ELF program: %s", text);
    return false;
  }

  bool read() {
    elf_result_t result = read_elf_header(source_, header_);
    for (u32 i = 0; result == elf_result_t::ok && i < header_.section_count; ++i)
      result = read_elf_section(source_, header_, i, sections_.emplace_back());
    for (u32 i = 0; result == elf_result_t::ok && i < header_.segment_count; ++i) {
      elf_segment_t segment;
      result = read_elf_segment(source_, header_, i, segment);
      loaded_end_ = std::max(loaded_end_, segment.offset + segment.file_size);
    }
    if (result != elf_result_t::ok) {
      log_error("[ERR] ELF program: headers %s", elf_result_name(result));
      return false;
    }
    if (header_.section_count == 0) return fail("no section table");
    u32 index = 0;
    elf_section_t found;
    result = find_elf_section(source_, header_, container_section_name, index, found);
    if (result == elf_result_t::ok) container_index_ = index;
    else if (result != elf_result_t::not_found) return fail("section names unreadable");
    return read_names();
  }

  bool read_names() {
    const elf_section_t& names = sections_[header_.name_section];
    if (container_index_ != npos32) return true;
    names_.assign(static_cast<size_t>(names.size), '\0');
    if (!names.size || !publisher::read_at(embedding_.program, names.offset, names_.data(), names_.size()))
      return fail("section names unreadable");
    names_.append(container_section_name, sizeof(container_section_name));
    return true;
  }

  bool plan() {
    const elf_layout_t& layout = *header_.layout;
    loaded_end_ = std::max(loaded_end_, u64{layout.header_size});
    if (header_.segment_count) loaded_end_ = std::max(loaded_end_, header_.segment_table_offset +
                                                                       u64{header_.segment_count} * header_.segment_entry_size);
    for (const elf_section_t& section : sections_)
      if (section.flags & elf_section_flag_alloc) loaded_end_ = std::max(loaded_end_, section.offset + section.file_size());
    // A section that begins in the kept part stays there whole.
    std::vector<u32> by_offset;
    for (u32 i = 0; i < sections_.size(); ++i)
      if (i != container_index_) by_offset.push_back(i);
    std::sort(by_offset.begin(), by_offset.end(), [&](u32 a, u32 b) { return sections_[a].offset < sections_[b].offset; });
    for (u32 index : by_offset)
      if (sections_[index].offset < loaded_end_)
        loaded_end_ = std::max(loaded_end_, sections_[index].offset + sections_[index].file_size());
    if (container_index_ != npos32 && (sections_[container_index_].flags & elf_section_flag_alloc))
      return fail("its container section is loaded with the program, so it cannot be replaced");
    std::vector<u32> order;
    // Empty sections move too, so that no offset points past the new file's end.
    for (u32 index : by_offset)
      if (sections_[index].type != elf_section_nobits && sections_[index].offset >= loaded_end_) order.push_back(index);
    if (!names_.empty() && std::find(order.begin(), order.end(), header_.name_section) == order.end())
      order.push_back(header_.name_section);
    u64 end = loaded_end_;
    for (u32 index : order) {
      const u64 alignment = sections_[index].alignment;
      if (alignment > max_section_alignment || (alignment & (alignment - 1))) return fail("a section has a bad alignment");
      end = align_up(end, alignment);
      moved_.push_back({index, end});
      end += index == header_.name_section && !names_.empty() ? names_.size() : sections_[index].size;
    }
    container_offset_ = align_up(end, container_alignment);
    table_offset_ = align_up(container_offset_ + embedding_.container_size, layout.header_size == 64 ? 8 : 4);
    const u32 count = header_.section_count + (container_index_ == npos32 ? 1 : 0);
    if (count >= elf_reserved_section_index) return fail("too many sections");
    const u64 file_end = table_offset_ + u64{count} * header_.section_entry_size;
    if (layout.header_size == 52 && file_end > 0xFFFFFFFFu)
      return fail("a 32-bit program cannot carry a container that large (its file would pass 4 GiB)");
    return true;
  }

  bool write() {
    std::ostream& out = embedding_.output;
    const elf_layout_t& layout = *header_.layout;
    std::string head(layout.header_size, '\0');
    if (!publisher::read_at(embedding_.program, 0, head.data(), head.size())) return fail("unreadable");
    u8* bytes = reinterpret_cast<u8*>(head.data());
    put_elf_field(bytes, layout.section_table_offset, table_offset_);
    put_elf_field(bytes, layout.section_count, header_.section_count + (container_index_ == npos32 ? 1 : 0));
    u64 position = head.size();
    bool written = static_cast<bool>(out.write(head.data(), static_cast<std::streamsize>(head.size()))) &&
                   copy_range(embedding_.program, position, loaded_end_ - position, out);
    position = loaded_end_;
    for (const moved_section_t& moved : moved_) {
      const elf_section_t& section = sections_[moved.index];
      written = written && write_zeros(out, moved.new_offset - position);
      if (moved.index == header_.name_section && !names_.empty()) {
        written = written && out.write(names_.data(), static_cast<std::streamsize>(names_.size()));
        position = moved.new_offset + names_.size();
      } else {
        written = written && copy_range(embedding_.program, section.offset, section.size, out);
        position = moved.new_offset + section.size;
      }
    }
    written = written && write_zeros(out, container_offset_ - position) &&
              copy_range(embedding_.container, 0, embedding_.container_size, out) &&
              write_zeros(out, table_offset_ - container_offset_ - embedding_.container_size) && write_section_table();
    return written || fail("write failed");
  }

  bool write_section_table() {
    const elf_layout_t& layout = *header_.layout;
    std::string entry(header_.section_entry_size, '\0');
    u8* bytes = reinterpret_cast<u8*>(entry.data());
    for (u32 i = 0; i < header_.section_count; ++i) {
      if (!publisher::read_at(embedding_.program, header_.section_table_offset + u64{i} * header_.section_entry_size,
                              entry.data(), entry.size()))
        return false;
      for (const moved_section_t& moved : moved_)
        if (moved.index == i) put_elf_field(bytes, layout.section_offset, moved.new_offset);
      if (i == header_.name_section && !names_.empty()) put_elf_field(bytes, layout.section_size, names_.size());
      if (i == container_index_) set_container_entry(bytes);
      if (!embedding_.output.write(entry.data(), static_cast<std::streamsize>(entry.size()))) return false;
    }
    if (container_index_ != npos32) return true;
    std::fill(entry.begin(), entry.end(), '\0');
    put_elf_field(bytes, layout.section_name, names_.size() - sizeof(container_section_name));
    put_elf_field(bytes, layout.section_type, elf_section_progbits);
    put_elf_field(bytes, layout.section_alignment, 1);
    set_container_entry(bytes);
    return static_cast<bool>(embedding_.output.write(entry.data(), static_cast<std::streamsize>(entry.size())));
  }

  void set_container_entry(u8* bytes) const {
    put_elf_field(bytes, header_.layout->section_offset, container_offset_);
    put_elf_field(bytes, header_.layout->section_size, embedding_.container_size);
  }

  const embedding_t& embedding_;
  stream_source_t source_;
  elf_header_t header_;
  std::vector<elf_section_t> sections_;
  u64 loaded_end_ = 0;
  u32 container_index_ = npos32;
  // The section names with the container's added, when the program has no container section yet.
  std::string names_;
  std::vector<moved_section_t> moved_;
  u64 container_offset_ = 0;
  u64 table_offset_ = 0;
};

} // namespace

bool embed_in_elf(const embedding_t& embedding) { return elf_rewrite_t(embedding).run(); }

} // namespace orvo::publisher
