// Everything the text reader finds in a file, with its place: the checker's
// view of a text file, gathered in one reading by the encoders' own reader.
//
// A file holds a code for every two or so of its bytes, so the codes are
// kept as values alone; what the checks of an entry need of their places
// (its first and last code, the first code behind its end code, its long
// lines) is noted while it is read. Headers and problems are few.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "banks.h"
#include "file_memory.h"
#include "text_bank_parser.h"
#include "vocabulary.h"

namespace talvo {

// What the checks of one entry need, noted as its codes are read. Offsets
// are those of the text read.
struct EntryFacts {
  static constexpr std::uint32_t kNone = UINT32_MAX;
  std::uint32_t first = 0;       // first byte of its first code
  std::uint32_t last_first = 0;  // first and last byte of its last code
  std::uint32_t last_last = 0;
  std::uint32_t after_end = kNone;  // first byte of the first code behind its first end code
  std::uint32_t characters = 0;     // codes that are characters of the game's window
  bool ended = false;               // it holds an end code
};

struct ReadHeader {
  std::uint32_t open;        // offset of its "("
  std::uint32_t close;       // and of its ")"
  std::uint32_t first_code;  // index in TextEvents::codes of the entry's first code
  EntryFacts facts;          // of the entry it begins
};

// A character of an entry that passes the longest line asked for: the first
// of its line to do so.
struct LongLine {
  std::uint32_t entry;  // index of its header
  std::uint32_t first;  // its first and last byte
  std::uint32_t last;
};

// Where a code's bytes lie in the text read.
struct CodePlace {
  std::uint32_t first;
  std::uint32_t last;
};

class TextEvents {
 public:
  static constexpr bool kGoesOn = true;

  TextEvents() = default;
  // `max_line`: characters a line may hold, for the long lines;
  // `keep_places`: every code's place, for those who measure lines.
  TextEvents(const BankRecord& bank, const Vocabulary& vocabulary, std::optional<std::size_t> max_line,
             bool keep_places = false);

  // Offsets heard are of a text that begins `base` bytes into the one the
  // facts are about (behind a byte-order mark).
  void set_base(std::uint32_t base) { base_ = base; }

  void code(std::uint16_t value, std::uint64_t first64, std::uint64_t last64) {
    const auto first = static_cast<std::uint32_t>(first64) + base_;
    const auto last = static_cast<std::uint32_t>(last64) + base_;
    EntryFacts& entry = headers.empty() ? before_first_header : headers.back().facts;
    if (codes.size() == entry_start_) entry.first = first;
    codes.push_back(value);
    if (keep_places_) places.push_back({first, last});
    entry.last_first = first;
    entry.last_last = last;
    const std::uint8_t kind = value < kinds_.size() ? kinds_[value] : 0;
    if (entry.ended) {
      if (entry.after_end == EntryFacts::kNone) entry.after_end = first;
    } else if ((kind & kEnd) != 0) {
      entry.ended = true;
    }
    if ((kind & kCharacter) != 0) ++entry.characters;
    if (!max_line_ || headers.empty()) return;
    if ((kind & kBreak) != 0) {
      line_length_ = 0;
    } else if ((kind & kCharacter) != 0 && ++line_length_ == *max_line_ + 1) {
      long_lines.push_back({static_cast<std::uint32_t>(headers.size() - 1), first, last});
    }
  }
  void header(std::uint64_t open, std::uint64_t close) {
    headers.push_back({static_cast<std::uint32_t>(open) + base_,
                       static_cast<std::uint32_t>(close) + base_,
                       static_cast<std::uint32_t>(codes.size()),
                       {}});
    entry_start_ = codes.size();
    line_length_ = 0;
  }
  void problem(ParseFailure failure) {
    failure.first += base_;
    failure.position += base_;
    problems.push_back(std::move(failure));
  }

  // The number of codes of entry k, or before the first header for k = -1.
  std::size_t code_count(std::ptrdiff_t k) const;

  // The codes, values alone: a message file's take the file memory's large
  // pages rather than thousands of faults.
  std::vector<std::uint16_t, FileMemoryAllocator<std::uint16_t>> codes;
  // Each code's place, when asked for; else empty.
  std::vector<CodePlace, FileMemoryAllocator<CodePlace>> places;
  std::vector<ReadHeader> headers;
  EntryFacts before_first_header;  // the codes before the first header, which belong to no entry
  std::vector<LongLine> long_lines;
  std::vector<ParseFailure> problems;  // in the order found

 private:
  static constexpr std::uint8_t kEnd = 1, kCharacter = 2, kBreak = 4;

  // What each code is, by its value.
  std::array<std::uint8_t, kMessageCodeCount> kinds_{};
  std::optional<std::size_t> max_line_;
  bool keep_places_ = false;
  std::size_t line_length_ = 0;  // characters so far on the line being read
  std::size_t entry_start_ = 0;  // index of the first code of the entry being read
  std::uint32_t base_ = 0;
};

inline TextEvents::TextEvents(const BankRecord& bank, const Vocabulary& vocabulary, std::optional<std::size_t> max_line,
                              bool keep_places)
    : max_line_(max_line), keep_places_(keep_places) {
  for (std::size_t code = 0; code < vocabulary.size(); ++code) {
    const auto value = static_cast<std::uint16_t>(code);
    // Characters are what the game draws. A message's line ends after its
    // end and line-break codes (their tokens end in a line feed); a byte
    // bank's entry is one line.
    const bool character = !vocabulary.is_control(value);
    const bool line_break = bank.codes() == CodeSet::Message && (bank.is_end(value) || bank.is_line_break(value));
    kinds_[code] = static_cast<std::uint8_t>((bank.is_end(value) ? kEnd : 0) | (character ? kCharacter : 0) |
                                             (line_break ? kBreak : 0));
  }
}

inline std::size_t TextEvents::code_count(std::ptrdiff_t k) const {
  const std::size_t begin = k < 0 ? 0 : headers[static_cast<std::size_t>(k)].first_code;
  const auto next = static_cast<std::size_t>(k + 1);
  return (next < headers.size() ? headers[next].first_code : codes.size()) - begin;
}

}  // namespace talvo
