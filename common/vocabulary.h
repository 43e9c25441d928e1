// What the readers and writers of text files know of one set of codes, the
// message codes or the byte codes both byte banks share: each code's text
// as the extractor writes it, which codes the game draws nothing for, and,
// for the game's own tables, the direct lookup their reader of pairs and
// brackets goes through. The game's tables are the default vocabulary; a
// translator's table makes another (tables/). Which codes end an entry or
// break its line is the bank's, not the vocabulary's: 0xAE ends battle text
// but not a fixed string, over the one byte vocabulary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "banks.h"
#include "text_format.h"

namespace talvo {

class CodeLookup;

class Vocabulary {
 public:
  // Every code's text as the extractor writes it, in `encoding` (a line feed
  // where the text breaks its line), and whether the game draws it. `lookup`
  // is the game's own tables' direct lookup, for their reader; null for a
  // translator's table.
  Vocabulary(CodeSet set, TextEncoding encoding, const std::vector<std::string>& extraction, std::vector<bool> control,
             const CodeLookup* lookup = nullptr);

  CodeSet set() const { return set_; }
  TextEncoding encoding() const { return encoding_; }
  std::size_t size() const { return control_.size(); }

  // What the extractor writes for `code` (below size()).
  std::string_view extraction(std::uint16_t code) const { return {slots_.data() + code * slot_size_, lengths_[code]}; }
  // The same text at the start of a slot of slot_size() bytes, NUL-padded:
  // the decoders copy whole slots, which keeps their inner loops free of
  // copies of varying length.
  const char* slot(std::uint16_t code) const { return slots_.data() + code * slot_size_; }
  std::size_t slot_size() const { return slot_size_; }

  // A code the game does not draw: message codes below 0x200, the byte codes
  // its byte table writes as hexadecimal tokens.
  bool is_control(std::uint16_t code) const { return control_[code]; }

  // The game's own tables: the lookup of their encoding forms. Null for a
  // translator's table, whose texts are read by the table-mode reader.
  const CodeLookup* lookup() const { return lookup_; }

 private:
  CodeSet set_;
  TextEncoding encoding_;
  std::size_t slot_size_ = 0;
  std::vector<char> slots_;
  std::vector<std::uint16_t> lengths_;
  std::vector<bool> control_;
  const CodeLookup* lookup_;
};

// The game's own tables, made once: in Shift_JIS as the extractor writes
// them, or in UTF-8 for working copies (the same characters).
const Vocabulary& game_vocabulary(CodeSet set, TextEncoding encoding = TextEncoding::ShiftJis);

// The two vocabularies a set of text files is read and written through:
// the messages', and the byte banks'.
struct Vocabularies {
  const Vocabulary& message;
  const Vocabulary& byte;
  const Vocabulary& of(CodeSet set) const { return set == CodeSet::Message ? message : byte; }
};

Vocabularies game_vocabularies(TextEncoding encoding = TextEncoding::ShiftJis);

}  // namespace talvo
