// Everything the text reader finds in a file, with its place: the checker's
// view of a text file, gathered in one reading by the encoders' own reader.
#pragma once

#include <cstdint>
#include <vector>

#include "file_memory.h"
#include "text_bank_parser.h"

namespace talvo {

struct ReadCode {
  std::uint16_t code;
  std::uint32_t first;  // offsets of its first and last byte in the text read
  std::uint32_t last;
};

struct ReadHeader {
  std::uint32_t open;        // offset of its "("
  std::uint32_t close;       // and of its ")"
  std::uint32_t first_code;  // index in TextEvents::codes of the entry's first code
};

struct TextEvents {
  static constexpr bool kGoesOn = true;
  void code(std::uint16_t value, std::uint64_t first, std::uint64_t last) {
    codes.push_back({value, static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last)});
  }
  void header(std::uint64_t open, std::uint64_t close) {
    headers.push_back({static_cast<std::uint32_t>(open), static_cast<std::uint32_t>(close),
                       static_cast<std::uint32_t>(codes.size())});
  }
  void problem(const ParseFailure& failure) { problems.push_back(failure); }

  // A message file holds a code for every two or so of its bytes: these
  // take the file memory's large pages rather than thousands of faults.
  std::vector<ReadCode, FileMemoryAllocator<ReadCode>> codes;
  std::vector<ReadHeader> headers;
  std::vector<ParseFailure> problems;  // in the order found
};

}  // namespace talvo
