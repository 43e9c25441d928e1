// The reader of extracted text files: turns characters and bracketed tokens
// into the game's codes, and notes where every group of entries begins.
//
// Outside brackets and headers the text is read in pairs of bytes, one
// full-width character each; a line feed, "[" or "(" is special only where a
// pair begins, so a character whose second byte is "[" or "]" reads right.
// "[" gathers a token up to the next "]"; "(" skips a header up to the next
// ")", and each header begins one more entry. A line break is a line feed,
// or CR LF, where a pair begins.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "buffered_output.h"
#include "code_lookup.h"
#include "encoder_variant.h"

namespace talvo {

enum class ParserState : std::uint8_t { Plain, InToken, InHeader };

struct ParseFailure {
  enum class Kind { None, UnknownToken, BankTooLarge };
  Kind kind = Kind::None;
  std::uint64_t position = 0;  // zero-based offset of the byte where it was found
  std::string gathered;        // the pair, or the token without its brackets
};

class TextBankParser {
 public:
  // Index entries hold 3-byte offsets.
  static constexpr std::uint64_t kIndexLimit = std::uint64_t{1} << 24;

  TextBankParser(const EncoderVariant& variant, BufferedOutput& bank, BufferedOutput& index);

  // Reads the next bytes of the input. False once it has stopped on a failure;
  // then nothing more is read.
  bool feed(std::span<const std::uint8_t> bytes);

  // What is unfinished at the end of the input (half a pair, an unclosed
  // token or header) is dropped: it writes nothing.
  const ParseFailure& failure() const { return failure_; }
  std::uint64_t position() const { return position_; }
  std::uint64_t bank_offset() const { return bank_offset_; }
  std::uint64_t header_count() const { return header_count_; }

 private:
  bool read(std::span<const std::uint8_t> bytes);
  // A token lying whole between `open`, its "[", and `end`, known, without a
  // NUL: emits its code and returns the bytes it takes, brackets included.
  // Anything else returns 0 and is read byte by byte, which reports it.
  std::size_t read_whole_token(const std::uint8_t* open, const std::uint8_t* end);
  // Called for every character: kept inline, the rare hand-over out of line.
  bool emit(std::uint16_t code) {
    if (staged_.size() - staged_count_ < 2) hand_over_staged();
    staged_[staged_count_] = static_cast<char>(code & 0xFF);
    staged_[staged_count_ + 1] = static_cast<char>(code >> 8);  // kept only for 2-byte codes
    staged_count_ += variant_.code_width;
    bank_offset_ += variant_.code_width;
    return true;
  }
  void hand_over_staged();
  void clear_gathered();
  bool emit_gathered();
  bool close_header();
  bool fail_unknown();

  const CodeLookup& lookup_;
  const EncoderVariant variant_;
  BufferedOutput& bank_;
  BufferedOutput& index_;

  ParserState state_ = ParserState::Plain;
  std::array<char, 9> gathered_{};  // up to 8 bytes: a token's eighth byte is its last
  std::uint8_t gathered_count_ = 0;
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

}  // namespace talvo
