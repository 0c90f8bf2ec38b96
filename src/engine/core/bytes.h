#pragma once
// Byte sources for readers and a growable sink for writers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

#include "engine/core/huge_pages.h"

namespace zelmar {

using Bytes = std::span<const uint8_t>;

// Bounds-checked little/big-endian reads from memory. Every read returns
// false (and reads nothing) when it would pass the end.
class ByteReader {
 public:
  explicit ByteReader(Bytes data) : data_(data) {}

  size_t pos() const { return pos_; }
  size_t size() const { return data_.size(); }
  size_t remaining() const { return data_.size() - pos_; }
  bool seek(size_t pos) {
    if (pos > data_.size()) return false;
    pos_ = pos;
    return true;
  }
  bool skip(size_t n) {
    if (n > remaining()) return false;
    pos_ += n;
    return true;
  }
  bool u8(uint8_t& v) {
    if (remaining() < 1) return false;
    v = data_[pos_++];
    return true;
  }
  bool u16le(uint16_t& v) { return readLe(v); }
  bool u32le(uint32_t& v) { return readLe(v); }
  bool i32le(int32_t& v) {
    uint32_t u;
    if (!readLe(u)) return false;
    v = int32_t(u);
    return true;
  }
  bool u16be(uint16_t& v) { return readBe(v); }
  bool u32be(uint32_t& v) { return readBe(v); }
  // A view of the next n bytes; advances past them.
  bool take(size_t n, Bytes& out) {
    if (n > remaining()) return false;
    out = data_.subspan(pos_, n);
    pos_ += n;
    return true;
  }
  const uint8_t* current() const { return data_.data() + pos_; }

 private:
  template <class T>
  bool readLe(T& v) {
    if (remaining() < sizeof(T)) return false;
    T r = 0;
    for (size_t i = 0; i < sizeof(T); ++i) r |= T(data_[pos_ + i]) << (8 * i);
    pos_ += sizeof(T);
    v = r;
    return true;
  }
  template <class T>
  bool readBe(T& v) {
    if (remaining() < sizeof(T)) return false;
    T r = 0;
    for (size_t i = 0; i < sizeof(T); ++i) r = T(r << 8) | data_[pos_ + i];
    pos_ += sizeof(T);
    v = r;
    return true;
  }

  Bytes data_;
  size_t pos_ = 0;
};

// A growable output buffer that does not zero what it hands out, so a
// writer can reserve a whole picture's worth and fill it directly.
// Growth throws std::bad_alloc; the format registry turns that into OutOfMemory.
class OutputBuffer {
 public:
  size_t size() const { return size_; }
  const uint8_t* data() const { return buf_.get(); }
  uint8_t* data() { return buf_.get(); }
  Bytes bytes() const { return {buf_.get(), size_}; }

  void reserve(size_t capacity) {
    if (capacity <= cap_) return;
    auto fresh = uninitialisedBlock(capacity);
    if (size_) std::memcpy(fresh.get(), buf_.get(), size_);
    buf_ = std::move(fresh);
    cap_ = capacity;
  }
  // Room for n more bytes at the end; commit() what was written.
  uint8_t* tail(size_t n) {
    if (cap_ - size_ < n) reserve(std::max(cap_ * 2, size_ + n));
    return buf_.get() + size_;
  }
  void commit(size_t n) { size_ += n; }
  void append(const void* p, size_t n) {
    if (n == 0) return;
    std::memcpy(tail(n), p, n);
    size_ += n;
  }
  void put8(uint8_t v) { append(&v, 1); }
  void put16le(uint16_t v) {
    const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    append(b, 2);
  }
  void put32le(uint32_t v) {
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    append(b, 4);
  }
  // Overwrite bytes already written (for sizes known only at the end).
  void patch32le(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) buf_[at + i] = uint8_t(v >> (8 * i));
  }
  void clear() { size_ = 0; }

 private:
  std::unique_ptr<uint8_t[]> buf_;
  size_t size_ = 0, cap_ = 0;
};

}  // namespace zelmar
