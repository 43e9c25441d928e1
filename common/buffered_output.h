// Output gathered in memory and handed on in large blocks, so that a decoder
// or encoder writing a file makes one system call per block instead of one
// per token. Without a sink it only gathers, which is how the command line,
// the tests and the fuzzers drive the decoders and the encoder in memory;
// the desktop programs give it a sink that writes their file (the platform
// layer's, programs/output_files.h): the decoders themselves write nothing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "file_memory.h"

namespace talvo {

class BufferedOutput {
 public:
  static constexpr std::size_t kBlock = 1 << 16;

  // Takes a block and writes it on; false when it could not.
  using Sink = bool (*)(void* context, const char* data, std::size_t size);

  BufferedOutput() = default;
  BufferedOutput(Sink sink, void* context) : sink_(sink), context_(context) { buffer_.reserve(2 * kBlock); }

  void append(const char* data, std::size_t count) {
    buffer_.append(data, count);
    if (sink_ != nullptr && buffer_.size() >= kBlock) flush();
  }
  void append(std::string_view text) { append(text.data(), text.size()); }
  // Room for `bytes` without a file, so that gathering copies nothing.
  void reserve(std::size_t bytes) { buffer_.reserve(bytes); }
  void push_back(char c) {
    buffer_.push_back(c);
    if (sink_ != nullptr && buffer_.size() >= kBlock) flush();
  }

  // Hands what is gathered to the sink. Once a write has failed, nothing
  // more is written and this stays false.
  bool flush();
  bool failed() const { return failed_; }

  // Everything appended so far, when there is no sink.
  std::string_view text() const { return buffer_; }

 private:
  Sink sink_ = nullptr;
  void* context_ = nullptr;
  // A whole bank or text gathers here: in file memory, faulted in at once.
  GatheredText buffer_;
  bool failed_ = false;
};

}  // namespace talvo
