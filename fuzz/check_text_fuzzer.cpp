// The checker over any bytes, in all three banks and both encodings, and
// over files the extractor could have written.
//
// Input: one byte picks the bank (value % 3) and what the rest is (value / 3
// % 3): 0, a Shift_JIS text; 1, a UTF-8 working copy; 2, the entries of a
// good file, each a length byte (0-15 codes) and 16-bit values for its codes,
// written as the extractor writes them (CR LF line ends when the bank byte
// is odd). Properties:
//  - the checker and the encoder agree (check_agreement.h), in both
//    encodings, and every place the checker names lies within the file,
//    its line quoted within a terminal's 80 cells;
//  - a good file, and its UTF-8 copy, give no error and exactly its entries;
//  - a UTF-8 copy's offsets agree with the code page converter's.
#include <cstdint>
#include <string>
#include <vector>

#include "banks.h"
#include "check_agreement.h"
#include "cp932.h"
#include "diagnostic_report.h"
#include "fuzz_check.h"
#include "input_reader.h"
#include "text_format.h"
#include "text_input.h"
#include "text_positions.h"
#include "token_tables.h"
#include "vocabulary.h"

namespace {

using namespace talvo;

const BankRecord& bank_of(std::uint8_t choice) {
  static const BankRecord* const banks[] = {&kMessageBank, &kFixedStringBank, &kBattleTextBank};
  return *banks[choice % 3];
}

CheckedText check(std::string_view sjis, const BankRecord& bank) {
  CheckOptions options;
  options.max_line = 3;  // reach the warnings too
  options.max_entry = 20;
  return check_text(sjis, bank, game_vocabularies(), options);
}

// A UTF-8 copy's way back to its offsets agrees with the code page
// converter's offset for every byte, taken piece by piece as the
// conversion leaves out what it cannot convert.
void check_file_offsets(const cli::TextInput& input) {
  std::size_t sjis = 0;
  for (std::size_t base = 0;;) {
    std::vector<std::size_t> offsets;
    const std::string_view rest = input.file().substr(base);
    const Utf8ToSjisResult piece = utf8_to_sjis_text(rest, &offsets, base == 0 ? LeadingBom::Drop : LeadingBom::Refuse);
    for (std::size_t i = 0; i + 1 < offsets.size(); ++i) FUZZ_CHECK(input.file_offset(sjis++) == base + offsets[i]);
    if (piece.error == Utf8ToSjisError::None) break;
    base += piece.error_offset + std::max<std::size_t>(decode_utf8(rest.substr(piece.error_offset)).length, 1);
  }
  FUZZ_CHECK(sjis == input.converted.size());
  FUZZ_CHECK(input.file_offset(sjis) == input.bytes.size());
}

void check_any_text(const cli::TextInput& input, const BankRecord& bank) {
  CheckedText checked = check(input.sjis(), bank);
  const std::string disagreement = fuzz::check_disagreement(input.sjis(), bank, checked);
  if (!disagreement.empty()) std::fprintf(stderr, "%s\n", disagreement.c_str());
  FUZZ_CHECK(disagreement.empty());
  for (const Diagnostic& d : checked.diagnostics) FUZZ_CHECK(d.first <= d.last && d.last <= input.sjis().size());
  // On a terminal each diagnostic quotes its line, within 80 cells: held to
  // it for the first few of each input, as quoting them all halved the
  // target's speed.
  PlaceFinder places(input.file(), input.encoding);
  std::size_t quoted_lines = 0;
  for (const Diagnostic& d : cli::file_diagnostics(input, checked)) {
    FUZZ_CHECK(d.first <= d.last && d.last <= input.bytes.size());
    places.place(d.first);
    if (++quoted_lines > 8) continue;
    const QuotedLine quoted = places.quote(d.first, d.last + 1, 80);
    FUZZ_CHECK(display_cells(quoted.text) <= 80 && quoted.caret + quoted.marks <= 80 && quoted.marks >= 1);
  }
}

// A file as the extractor writes it, from the input's codes; each entry ends
// with the bank's end code and holds none before it.
std::string good_file(fuzz::InputReader& input, const BankRecord& bank, bool crlf,
                      std::vector<std::vector<std::uint16_t>>& entries) {
  const bool messages = bank.bank == Bank::Messages;
  const std::uint16_t end = messages ? text_format::kMessageEnd : text_format::kByteEnd;
  const std::size_t codes = messages ? kMessageCodeCount : kByteCodeCount;
  std::string text;
  char header[16];
  for (std::uint32_t n = 0; n < bank.entries; ++n) {
    if (messages) {
      text += n == 0 ? text_format::format_header(text_format::kFirstMessageHeaderFormat, n, header)
                     : text_format::format_header(text_format::kMessageHeaderFormat, n, header);
    } else {
      text += text_format::format_header(text_format::kHeaderFormat, n, header);
    }
    std::vector<std::uint16_t> entry;
    for (std::size_t length = input.byte() % 16; length > 0; --length) {
      const auto code = static_cast<std::uint16_t>(input.u16() % codes);
      if (!bank.is_end(code)) entry.push_back(code);
    }
    entry.push_back(end);
    for (std::uint16_t code : entry) {
      if (messages) {
        char token[kMessageTokenSlot];
        text.append(token, message_token(code, token));
      } else {
        char token[kByteTokenSlot];
        text.append(token, byte_token(static_cast<std::uint8_t>(code), token));
      }
    }
    if (!messages) text += '\n';
    entries.push_back(std::move(entry));
  }
  if (!crlf) return text;
  std::string with_cr;
  for (char c : text) with_cr += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return with_cr;
}

void check_good_file(const cli::TextInput& input, const BankRecord& bank,
                     const std::vector<std::vector<std::uint16_t>>& entries) {
  const CheckedText checked = check_text(input.sjis(), bank, game_vocabularies(), CheckOptions{});
  if (checked.errors > 0) std::fprintf(stderr, "%s\n", checked.diagnostics.front().message.c_str());
  FUZZ_CHECK(checked.errors == 0);
  FUZZ_CHECK(input.conversion.empty());
  FUZZ_CHECK(checked.entries() == entries);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input(std::span(data, size));
  const std::uint8_t choice = input.byte();
  const BankRecord& bank = bank_of(choice);
  const auto rest = input.bytes(input.remaining());
  const std::string bytes(rest.begin(), rest.end());
  switch (choice / 3 % 3) {
    case 0:
      check_any_text(cli::text_input("f", bytes, TextEncoding::ShiftJis), bank);
      break;
    case 1: {
      const cli::TextInput utf8 = cli::text_input("f", bytes, TextEncoding::Utf8);
      check_file_offsets(utf8);
      check_any_text(utf8, bank);
      break;
    }
    default: {
      fuzz::InputReader codes(rest);
      std::vector<std::vector<std::uint16_t>> entries;
      const std::string sjis = good_file(codes, bank, choice % 2 == 1, entries);
      check_good_file(cli::text_input("f", sjis, TextEncoding::ShiftJis), bank, entries);
      const SjisToUtf8Result utf8 = sjis_to_utf8_text(sjis);
      FUZZ_CHECK(!utf8.failed_at);
      const cli::TextInput copy = cli::text_input("f", utf8.utf8, TextEncoding::Utf8);
      FUZZ_CHECK(copy.sjis() == sjis);  // every token comes back from its UTF-8 form
      check_good_file(copy, bank, entries);
    }
  }
  return 0;
}
