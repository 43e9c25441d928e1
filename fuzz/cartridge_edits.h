// A fuzz input for the decoders describes edits to a good image built once,
// not a whole image: random megabytes fail at the first pointer, while edits
// to a good image reach every path of the walk and its failures.
//
// The input is a list of edits, each an opcode byte and its operands; the
// low six bits of the opcode pick the region (modulo the region count):
//   0x00-0x7F overwrite: offset u24, count (byte % 32) + 1, then the bytes
//   0x80-0xBF fill:      offset u24, count u16 + 1, value byte
//   0xC0-0xFF truncate:  the cartridge ends at offset u24 into the region
// Offsets are taken modulo the region's length; nothing is written outside
// it, and truncation never makes the cartridge longer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "input_reader.h"

namespace talvo::fuzz {

struct Region {
  std::size_t start;
  std::size_t length;
};

class CartridgeEditor {
 public:
  explicit CartridgeEditor(std::vector<std::uint8_t> image) : image_(std::move(image)) {}

  // Applies the edits that the rest of the input describes, after undoing
  // those of the previous call, and returns the edited cartridge.
  std::span<const std::uint8_t> apply(InputReader& input, std::span<const Region> regions);

  // How many edits the last call applied; none means the good image.
  std::size_t edit_count() const { return edit_count_; }

 private:
  struct Saved {
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
  };
  void restore();
  // Keeps the bytes an edit is about to change, and returns where they start.
  std::uint8_t* save(std::size_t offset, std::size_t count);

  std::vector<std::uint8_t> image_;
  std::vector<Saved> undo_;
  std::size_t edit_count_ = 0;
};

// Writes edits in the input form, for the seed corpora.
class EditWriter {
 public:
  EditWriter& overwrite(unsigned region, std::uint32_t offset, const std::vector<std::uint8_t>& bytes);
  EditWriter& fill(unsigned region, std::uint32_t offset, std::uint32_t count, std::uint8_t value);
  EditWriter& truncate(unsigned region, std::uint32_t offset);
  const std::string& input() const { return input_; }

 private:
  void u24(std::uint32_t value);
  std::string input_;
};

}  // namespace talvo::fuzz
