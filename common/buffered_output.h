// Output gathered in memory and written in large blocks, so that a decoder
// or encoder makes one system call per block instead of one per token.
// Without a file it only gathers, which is how tests and fuzzers drive the
// decoders and the encoder in memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "file_memory.h"
#include "platform.h"

namespace talvo {

class BufferedOutput {
 public:
  static constexpr std::size_t kBlock = 1 << 16;

  BufferedOutput() = default;
  explicit BufferedOutput(platform::FileHandle file) : file_(file) { buffer_.reserve(2 * kBlock); }

  void append(const char* data, std::size_t count) {
    buffer_.append(data, count);
    if (file_.valid() && buffer_.size() >= kBlock) flush();
  }
  void append(std::string_view text) { append(text.data(), text.size()); }
  // Room for `bytes` without a file, so that gathering copies nothing.
  void reserve(std::size_t bytes) { buffer_.reserve(bytes); }
  void push_back(char c) {
    buffer_.push_back(c);
    if (file_.valid() && buffer_.size() >= kBlock) flush();
  }

  // Writes what is gathered to the file. Once a write has failed, nothing
  // more is written and this stays false.
  bool flush();
  bool failed() const { return failed_; }

  // Everything appended so far, when there is no file.
  std::string_view text() const { return buffer_; }

 private:
  platform::FileHandle file_{};
  // A whole bank or text gathers here: in file memory, faulted in at once.
  GatheredText buffer_;
  bool failed_ = false;
};

}  // namespace talvo
