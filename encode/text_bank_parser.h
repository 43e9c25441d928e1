// The reader of extracted text files: turns characters and bracketed tokens
// into the game's codes, and notes where every group of entries begins.
//
// Outside brackets and headers the text is read in pairs of bytes, one
// full-width character each; a line feed, "[" or "(" is special only where a
// pair begins, so a character whose second byte is "[" or "]" reads right.
// "[" gathers a token up to the next "]"; "(" skips a header up to the next
// ")", and each header begins one more entry. A line break is a line feed,
// or CR LF, where a pair begins.
//
// The encoders stop at the first unit that is not in the table. The checker
// reads with the same reader, told to go on after a problem and to hear of
// every code, header and problem with its place in the file: one reader, so
// that what the checker says and what the encoders do cannot drift apart.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "banks.h"
#include "buffered_output.h"
#include "code_lookup.h"
#include "vocabulary.h"

namespace talvo {

enum class ParserState : std::uint8_t {
  Plain,
  InToken,
  InHeader,
  SkippingToken,  // only when going on after a problem: the rest of a token too long to be one
};

struct ParseFailure {
  enum class Kind { None, UnknownToken, BankTooLarge };
  enum class Unit { Pair, Token, Header };
  Kind kind = Kind::None;
  Unit unit = Unit::Pair;
  std::uint64_t first = 0;     // zero-based offset of the unit's first byte: the pair's first, the "[" or the "("
  std::uint64_t position = 0;  // zero-based offset of the byte where it was found
  std::string gathered;        // the pair, or the token without its brackets (at most 8 bytes of it)
  bool line_ended = false;     // a reader that goes on: the token holds a line feed, its "]" forgotten
};

// What the reader holds unfinished when the input ends: half a pair, a token
// without its "]", a header without its ")". The encoders drop it silently.
struct UnfinishedUnit {
  ParseFailure::Unit unit;
  std::uint64_t first;  // offset of its first byte
};

// The listener of the encoders: hears nothing and stops at the first problem.
// Its calls compile to nothing.
struct NoTextEvents {
  static constexpr bool kGoesOn = false;
  void code(std::uint16_t, std::uint64_t, std::uint64_t) {}
  void header(std::uint64_t, std::uint64_t) {}
  void problem(const ParseFailure&) {}
};

// A listener that goes on after problems (kGoesOn true) hears every code with
// the offsets of its first and last byte, every header with those of its "("
// and ")", and every problem, each where the encoders would stop. After a
// unit that is not in the table the reader goes on behind it; after a token
// with a line feed in it (its "]" forgotten), from that line feed; after a
// token too long to be one, from its "]" or the end of its line. The codes
// go to the listener alone, not to the bank.
template <typename Events>
class BasicTextBankParser {
 public:
  // Index entries hold 3-byte offsets.
  static constexpr std::uint64_t kIndexLimit = std::uint64_t{1} << 24;

  // `vocabulary`: the game's tables for the variant's codes, whose direct
  // lookup the reader goes through (a translator's table has none: its files
  // are read by the table-mode reader).
  BasicTextBankParser(const EncoderVariant& variant, const Vocabulary& vocabulary, BufferedOutput& bank,
                      BufferedOutput& index, Events* events = nullptr);

  // Reads the next bytes of the input. False once it has stopped on a failure;
  // then nothing more is read. A reader that goes on never stops.
  bool feed(std::span<const std::uint8_t> bytes);

  // What is unfinished at the end of the input (half a pair, an unclosed
  // token or header) is dropped: it writes nothing.
  const ParseFailure& failure() const { return failure_; }
  std::uint64_t position() const { return position_; }
  std::uint64_t bank_offset() const { return bank_offset_; }
  std::uint64_t header_count() const { return header_count_; }
  std::optional<UnfinishedUnit> unfinished() const;

 private:
  bool read(std::span<const std::uint8_t> bytes);
  // A token lying whole between `open`, its "[", and `end`, known, without a
  // NUL: emits its code and returns the bytes it takes, brackets included.
  // Anything else returns 0 and is read byte by byte, which reports it.
  std::size_t read_whole_token(const std::uint8_t* open, const std::uint8_t* end);
  // Called for every character: kept inline, the rare hand-over out of line.
  void emit(std::uint16_t code, std::uint64_t first, std::uint64_t last) {
    if (staged_.size() - staged_count_ < 2) hand_over_staged();
    staged_[staged_count_] = static_cast<char>(code & 0xFF);
    staged_[staged_count_ + 1] = static_cast<char>(code >> 8);  // kept only for 2-byte codes
    staged_count_ += variant_.code_width;
    bank_offset_ += variant_.code_width;
    if constexpr (Events::kGoesOn) events_->code(code, first, last);
  }
  void hand_over_staged();
  void clear_gathered();
  // Emits the code of the token gathered; false, after reporting it, when
  // the table lacks it.
  bool emit_gathered();
  // Goes back to just before the open token's first line feed, when there is
  // one in the piece being read; true when it did.
  bool back_to_line_feed(const std::uint8_t*& p, const std::uint8_t* begin);
  bool close_header();
  // Reports a unit that is not in the table; true when reading goes on.
  bool fail_unknown(ParseFailure::Unit unit, std::uint64_t first);

  const CodeLookup& lookup_;
  const EncoderVariant variant_;
  BufferedOutput& bank_;
  BufferedOutput& index_;
  Events* events_;

  ParserState state_ = ParserState::Plain;
  std::array<char, 9> gathered_{};  // up to 8 bytes: a token's eighth byte is its last
  std::uint8_t gathered_count_ = 0;
  std::uint64_t unit_first_ = 0;  // where the unit being gathered began
  // A reader that goes on: the first line feed inside the open token. No
  // token holds one, so after the encoder gives up on such a token, reading
  // goes on from that line feed, where the "]" was forgotten.
  std::optional<std::uint64_t> token_line_feed_;
  std::uint64_t position_ = 0;
  std::uint64_t bank_offset_ = 0;
  std::uint64_t header_count_ = 0;
  ParseFailure failure_;

  // Codes go to the bank through this small buffer, handed over whole: one
  // append per few thousand codes rather than one per code. It is empty
  // whenever feed() returns.
  std::array<char, 4096> staged_{};
  std::size_t staged_count_ = 0;
};

using TextBankParser = BasicTextBankParser<NoTextEvents>;

}  // namespace talvo
