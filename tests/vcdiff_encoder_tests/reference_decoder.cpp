#include "reference_decoder.h"

#include <lzma.h>

#include <array>

namespace reference {

namespace {

enum { NOOP = 0, ADD = 1, RUN = 2, COPY = 3 };
constexpr int s_near = 4, s_same = 3;

} // namespace

// The default table as listed line by line in RFC 3284 section 5.6.
std::array<entry_t, 256> default_table() {
  std::array<entry_t, 256> t{};
  int i = 0;
  t[i++] = {RUN, 0, 0, NOOP, 0, 0};
  t[i++] = {ADD, 0, 0, NOOP, 0, 0};
  for (int size = 1; size <= 17; ++size) t[i++] = {ADD, size, 0, NOOP, 0, 0};
  for (int mode = 0; mode <= 8; ++mode) {
    t[i++] = {COPY, 0, mode, NOOP, 0, 0};
    for (int size = 4; size <= 18; ++size) t[i++] = {COPY, size, mode, NOOP, 0, 0};
  }
  for (int mode = 0; mode <= 5; ++mode)
    for (int add = 1; add <= 4; ++add)
      for (int copy = 4; copy <= 6; ++copy) t[i++] = {ADD, add, 0, COPY, copy, mode};
  for (int mode = 6; mode <= 8; ++mode)
    for (int add = 1; add <= 4; ++add) t[i++] = {ADD, add, 0, COPY, 4, mode};
  for (int mode = 0; mode <= 8; ++mode) t[i++] = {COPY, 4, mode, ADD, 1, 0};
  return t;
}

namespace {

class cursor_t {
public:
  cursor_t(const uint8_t* data, size_t length) : data_(data), length_(length) {}
  bool byte(uint8_t* value) {
    if (position_ >= length_) return false;
    *value = data_[position_++];
    return true;
  }
  bool integer(uint64_t* value) {
    uint64_t result = 0;
    for (int digits = 0; digits < 10; ++digits) {
      uint8_t b;
      if (!byte(&b)) return false;
      if (result > (UINT64_MAX >> 7)) return false;
      result = (result << 7) | (b & 0x7F);
      if (!(b & 0x80)) {
        *value = result;
        return true;
      }
    }
    return false;
  }
  bool bytes(size_t count, std::vector<uint8_t>* out) {
    if (count > length_ - position_) return false;
    out->assign(data_ + position_, data_ + position_ + count);
    position_ += count;
    return true;
  }
  size_t position() const { return position_; }
  bool at_end() const { return position_ == length_; }

private:
  const uint8_t* data_;
  size_t length_;
  size_t position_ = 0;
};

struct caches_t {
  uint64_t near[s_near] = {};
  int next_slot = 0;
  uint64_t same[s_same * 256] = {};
  void update(uint64_t address) {
    near[next_slot] = address;
    next_slot = (next_slot + 1) % s_near;
    same[address % (s_same * 256)] = address;
  }
};

bool fail(std::string* error, const std::string& text) {
  *error = text;
  return false;
}

bool decode_window(cursor_t& in, const std::vector<uint8_t>& source, form_t form, int secondary_id, window_t* w,
                   std::vector<uint8_t>* target, std::string* error) {
  static const std::array<entry_t, 256> table = default_table();
  const uint8_t allowed = form == form_t::container ? 0x07 : 0x03;
  if (w->indicator & ~allowed) return fail(error, "unknown window indicator bits");
  if ((w->indicator & 0x03) == 0x03) return fail(error, "both VCD_SOURCE and VCD_TARGET");
  if (w->indicator & 0x02) return fail(error, "VCD_TARGET windows are not produced by this encoder");
  if (w->indicator & 0x01) {
    if (!in.integer(&w->segment_length) || !in.integer(&w->segment_position)) return fail(error, "short segment");
    if (w->segment_position > source.size() || w->segment_length > source.size() - w->segment_position)
      return fail(error, "source segment outside the source");
  }
  uint64_t encoding_length, lengths[3];
  if (!in.integer(&encoding_length)) return fail(error, "short window");
  const size_t encoding_start = in.position();
  if (!in.integer(&w->target_length) || !in.byte(&w->delta_indicator) || !in.integer(&lengths[0]) ||
      !in.integer(&lengths[1]) || !in.integer(&lengths[2]))
    return fail(error, "short delta encoding");
  if (w->delta_indicator & ~0x07) return fail(error, "unknown delta indicator bits");
  if (w->delta_indicator && secondary_id < 0) return fail(error, "compressed section without secondary compressor");
  w->has_checksum = (w->indicator & 0x04) != 0;
  if (w->has_checksum) {
    uint8_t b[4];
    for (uint8_t& x : b)
      if (!in.byte(&x)) return fail(error, "short checksum");
    w->checksum = (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
  }
  std::vector<uint8_t> sections[3];
  for (int i = 0; i < 3; ++i) {
    if (!in.bytes(lengths[i], &w->stored[i])) return fail(error, "short section");
    if (w->delta_indicator & (1 << i)) {
      if (!decompress_lzma_section(w->stored[i], &sections[i], error)) return false;
    } else {
      sections[i] = w->stored[i];
    }
  }
  if (in.position() - encoding_start != encoding_length) return fail(error, "delta encoding length mismatch");

  const uint64_t s = (w->indicator & 0x01) ? w->segment_length : 0;
  const uint8_t* segment = source.data() + w->segment_position;
  std::vector<uint8_t> t;
  cursor_t data(sections[0].data(), sections[0].size());
  cursor_t inst(sections[1].data(), sections[1].size());
  cursor_t addr(sections[2].data(), sections[2].size());
  caches_t caches;
  while (!inst.at_end()) {
    uint8_t index = 0;
    inst.byte(&index);
    const entry_t& e = table[index];
    const int insts[2] = {e.inst1, e.inst2}, sizes[2] = {e.size1, e.size2}, modes[2] = {e.mode1, e.mode2};
    for (int k = 0; k < 2; ++k) {
      if (insts[k] == NOOP) continue;
      uint64_t size = sizes[k];
      if (size == 0 && !inst.integer(&size)) return fail(error, "short instruction size");
      if (size > w->target_length - t.size()) return fail(error, "instruction overruns the window");
      if (insts[k] == ADD) {
        std::vector<uint8_t> bytes;
        if (!data.bytes(size, &bytes)) return fail(error, "ADD runs out of data");
        t.insert(t.end(), bytes.begin(), bytes.end());
      } else if (insts[k] == RUN) {
        uint8_t b;
        if (!data.byte(&b)) return fail(error, "RUN runs out of data");
        t.insert(t.end(), size, b);
      } else {
        const uint64_t here = s + t.size();
        uint64_t address, value;
        const int mode = modes[k];
        if (mode == 0) {
          if (!addr.integer(&address)) return fail(error, "short address");
        } else if (mode == 1) {
          if (!addr.integer(&value) || value > here) return fail(error, "bad HERE address");
          address = here - value;
        } else if (mode < 2 + s_near) {
          if (!addr.integer(&value)) return fail(error, "short address");
          address = caches.near[mode - 2] + value;
        } else {
          uint8_t b;
          if (!addr.byte(&b)) return fail(error, "short address");
          address = caches.same[(mode - 2 - s_near) * 256 + b];
        }
        caches.update(address);
        if (address >= here) return fail(error, "COPY address not before the current position");
        if (address < s) {
          if (address + size > s) return fail(error, "COPY spans the end of the source segment");
          t.insert(t.end(), segment + address, segment + address + size);
        } else {
          for (uint64_t j = 0; j < size; ++j) t.push_back(t[address - s + j]);
        }
      }
    }
  }
  if (t.size() != w->target_length) return fail(error, "window produced the wrong length");
  if (!data.at_end() || !addr.at_end()) return fail(error, "sections have bytes left over");
  if (w->has_checksum && adler32(t.data(), t.size()) != w->checksum) return fail(error, "checksum mismatch");
  target->insert(target->end(), t.begin(), t.end());
  return true;
}

} // namespace

uint32_t adler32(const uint8_t* data, size_t length) {
  uint32_t a = 1, b = 0;
  for (size_t i = 0; i < length; ++i) {
    a = (a + data[i]) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

bool decompress_lzma_section(const std::vector<uint8_t>& stored, std::vector<uint8_t>* plain, std::string* error) {
  cursor_t in(stored.data(), stored.size());
  uint64_t size;
  if (!in.integer(&size)) return fail(error, "compressed section without length");
  plain->assign(size, 0);
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_stream_decoder(&stream, UINT64_MAX, LZMA_TELL_NO_CHECK) != LZMA_OK) return fail(error, "lzma setup");
  stream.next_in = stored.data() + in.position();
  stream.avail_in = stored.size() - in.position();
  stream.next_out = plain->data();
  stream.avail_out = plain->size();
  bool ok = true;
  while (stream.avail_out > 0) {
    const size_t in_before = stream.avail_in, out_before = stream.avail_out;
    const lzma_ret ret = lzma_code(&stream, LZMA_RUN);
    if (ret == LZMA_NO_CHECK) continue;
    if (ret != LZMA_OK) {
      ok = fail(error, "lzma error " + std::to_string(ret));
      break;
    }
    if (stream.avail_out > 0 && stream.avail_in == in_before && stream.avail_out == out_before) {
      ok = fail(error, "compressed section produced too few bytes");
      break;
    }
  }
  if (ok && stream.avail_in != 0) ok = fail(error, "compressed section has bytes left over");
  lzma_end(&stream);
  return ok;
}

bool decode(const std::vector<uint8_t>& delta, const std::vector<uint8_t>& source, form_t form, delta_t* out,
            std::string* error) {
  *out = delta_t{};
  cursor_t in(delta.data(), delta.size());
  uint8_t magic[4];
  for (uint8_t& b : magic)
    if (!in.byte(&b)) return fail(error, "short header");
  if (magic[0] != 0xD6 || magic[1] != 0xC3 || magic[2] != 0xC4 || magic[3] != 0) return fail(error, "bad magic");
  if (!in.byte(&out->header_indicator)) return fail(error, "short header");
  if (form == form_t::plain && out->header_indicator != 0) return fail(error, "plain delta with header extras");
  if (out->header_indicator & ~0x01) return fail(error, "unexpected header indicator bits");
  if (out->header_indicator & 0x01) {
    uint8_t id;
    if (!in.byte(&id)) return fail(error, "short header");
    if (id != 2) return fail(error, "secondary compressor is not id 2");
    out->secondary_id = id;
  }
  while (!in.at_end()) {
    window_t w;
    in.byte(&w.indicator); // cannot fail: not at the end
    if (!decode_window(in, source, form, out->secondary_id, &w, &out->target, error)) return false;
    out->windows.push_back(std::move(w));
  }
  return true;
}

} // namespace reference
