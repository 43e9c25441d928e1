// Reads numbers out of a fuzz input. An exhausted input reads as zeros, so
// every input, however short, describes something.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace talvo::fuzz {

class InputReader {
 public:
  explicit InputReader(std::span<const std::uint8_t> input) : input_(input) {}

  bool empty() const { return at_ == input_.size(); }
  std::size_t remaining() const { return input_.size() - at_; }

  std::uint8_t byte() { return empty() ? 0 : input_[at_++]; }
  std::uint32_t u16() { return byte() | static_cast<std::uint32_t>(byte()) << 8; }
  std::uint32_t u24() { return u16() | static_cast<std::uint32_t>(byte()) << 16; }

  // Up to `count` bytes, fewer at the end of the input.
  std::span<const std::uint8_t> bytes(std::size_t count) {
    const std::size_t taken = count < remaining() ? count : remaining();
    const auto part = input_.subspan(at_, taken);
    at_ += taken;
    return part;
  }

 private:
  std::span<const std::uint8_t> input_;
  std::size_t at_ = 0;
};

}  // namespace talvo::fuzz
