#pragma once
// Bounds-checked little-endian reading over a byte span. A read past the end yields zero
// and sets the failed flag, so parsers can read a whole record and check once.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace zan {

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}
  ByteReader(const void* data, size_t size)
      : data_(static_cast<const uint8_t*>(data), size) {}

  size_t size() const { return data_.size(); }
  size_t position() const { return pos_; }
  size_t remaining() const { return pos_ <= data_.size() ? data_.size() - pos_ : 0; }
  bool failed() const { return failed_; }

  // Moves to an absolute offset; an offset past the end fails.
  bool Seek(size_t offset) {
    if (offset > data_.size()) {
      failed_ = true;
      return false;
    }
    pos_ = offset;
    return true;
  }
  bool Skip(size_t n) { return n <= remaining() ? Seek(pos_ + n) : Fail(); }

  uint8_t U8() { return static_cast<uint8_t>(ReadLE(1)); }
  uint16_t U16() { return static_cast<uint16_t>(ReadLE(2)); }
  uint32_t U32() { return static_cast<uint32_t>(ReadLE(4)); }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  int32_t I32() { return static_cast<int32_t>(U32()); }

  // Copies n bytes out; on a short read nothing is copied and `out` is zero-filled.
  bool Bytes(void* out, size_t n) {
    if (n > remaining()) {
      std::memset(out, 0, n);
      return Fail();
    }
    std::memcpy(out, data_.data() + pos_, n);
    pos_ += n;
    return true;
  }

  // A view of the next n bytes, or an empty span on a short read.
  std::span<const uint8_t> View(size_t n) {
    if (n > remaining()) {
      Fail();
      return {};
    }
    auto view = data_.subspan(pos_, n);
    pos_ += n;
    return view;
  }

 private:
  bool Fail() {
    failed_ = true;
    return false;
  }
  uint64_t ReadLE(size_t n) {
    if (n > remaining()) {
      pos_ = data_.size();
      failed_ = true;
      return 0;
    }
    uint64_t v = 0;
    for (size_t i = 0; i < n; ++i) v |= uint64_t{data_[pos_ + i]} << (8 * i);
    pos_ += n;
    return v;
  }

  std::span<const uint8_t> data_;
  size_t pos_ = 0;
  bool failed_ = false;
};

// Little-endian stores into a caller-sized buffer (records of fixed layout).
inline void StoreU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LoadU32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

}  // namespace zan
