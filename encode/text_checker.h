// The checker of text files: every problem of a file at once, each with its
// place, read by the encoders' own reader (text_bank_parser.h).
//
// Errors are what the game or the encoder would get wrong: a unit the table
// lacks (the encoder stops there), a unit left unfinished at the end (the
// encoder drops it), an entry count other than the bank's, an entry that
// does not end with its end code or holds one before its end, text before
// the first header. Warnings are what usually means a mistake but reads
// fine: header numbers out of sequence, lines and entries longer than asked.
//
// A file without errors encodes; where the encoder stops, the first error
// that stops it lies in the unit where it stops.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "banks.h"
#include "text_events.h"
#include "vocabulary.h"

namespace talvo {

enum class Severity : std::uint8_t { Error, Warning };

struct Diagnostic {
  Severity severity = Severity::Error;
  std::uint64_t first = 0;  // the bytes it is about, in the text checked; `last` included
  std::uint64_t last = 0;
  std::string message;  // UTF-8, characters of the text quoted as they read
  std::string hint;     // what to write instead, where something helps; may be empty
  bool stops_encoder = false;
};

struct CheckOptions {
  std::optional<std::size_t> max_line;   // characters a line of the game's window holds
  std::optional<std::size_t> max_entry;  // characters an entry may hold
  bool byte_order_mark_is_error = true;  // a Shift_JIS file; a UTF-8 one has its mark dropped
  bool keep_places = false;              // every code's place too, for measuring lines in the window
};

struct CheckedText {
  std::vector<Diagnostic> diagnostics;  // in the order of their place in the file
  TextEvents events;                    // what the reader found, offsets in the text checked
  std::size_t errors = 0;
  std::size_t warnings = 0;

  // The codes of every entry, when there are no errors.
  std::vector<std::vector<std::uint16_t>> entries() const;
};

// Checks a text file of `bank` given as Shift_JIS bytes, read through the
// game's tables (`vocabularies`, the bank's own and, for the hints, the
// other).
CheckedText check_text(std::string_view sjis, const BankRecord& bank, const Vocabularies& vocabularies,
                       const CheckOptions& options);

// The checks of entries that every text file gets, whoever read it: what
// stands before the first header, end codes missing or early, the count,
// header numbers, long lines and entries. For readers other than the game's
// tables' one (the table-mode reader): `events` holds what it heard, `found`
// the problems it found itself, as diagnostics; `vocabulary` writes the end
// and line-break codes named in messages. Offsets are those of `text`.
CheckedText check_entries(std::string_view text, const BankRecord& bank, const Vocabulary& vocabulary,
                          TextEvents events, std::vector<Diagnostic> found, const CheckOptions& options);

}  // namespace talvo
