// What the fuzz targets share: a check that stops the run, and a reader that
// takes numbers and byte runs off the front of the input.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "toolbox/host/journal.h"
#include "toolbox/host/memory.h"

#define FUZZ_CHECK(condition) \
  do { \
    if (!(condition)) \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition), std::abort(); \
  } while (0)

namespace fuzz {

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), left_(size) {}
  bool Empty() const { return left_ == 0; }
  /// The next byte; 0 once the input is used up.
  uint8_t Byte() { return left_ == 0 ? 0 : (--left_, *data_++); }
  /// The next four bytes, big-endian, missing bytes read as 0.
  uint32_t Word() {
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) word = word << 8 | Byte();
    return word;
  }
  /// Up to `count` bytes (fewer at the end).
  std::string Bytes(size_t count) {
    count = std::min(count, left_);
    std::string bytes(reinterpret_cast<const char*>(data_), count);
    data_ += count, left_ -= count;
    return bytes;
  }

 private:
  const uint8_t* data_;
  size_t left_;
};

/// One input's run: starts with an empty journal (so it cannot grow from run
/// to run) and checks on leaving that no handle or pointer block was left behind.
class Run {
 public:
  Run() { toolbox::host::ClearJournal(); }
  ~Run() {
    FUZZ_CHECK(toolbox::host::LiveHandles() == handles_);
    FUZZ_CHECK(toolbox::host::LivePointers() == pointers_);
  }

 private:
  size_t handles_ = toolbox::host::LiveHandles(), pointers_ = toolbox::host::LivePointers();
};

}  // namespace fuzz
