// Random tables and random text through the shortest encoding: byte banks
// in exactly the fewest codes a plain dynamic programme finds, stuck where
// its furthest reach ends; messages in no more Huffman bits than greedy
// longest match and within the codes greedy keeps to; both spelling the
// text exactly.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "input_reader.h"
#include "reference_table_encoding.h"
#include "shortest_encoding.h"
#include "table_text_reader.h"

namespace {

using namespace talvo;
using namespace talvo::tables;

// Small alphabets overlap most: three letters and a character of three bytes.
const char* const kPieces[] = {"a", "b", "c", "\xE3\x81\x82"};

std::string random_text(fuzz::InputReader& input, std::size_t max_pieces) {
  std::string text;
  const std::size_t pieces = input.byte() % (max_pieces + 1);
  for (std::size_t i = 0; i < pieces; ++i) text += kPieces[input.byte() % 4];
  return text;
}

// The glyph codes of a kind, in order.
std::vector<std::uint16_t> glyphs(CodeSet kind) {
  std::vector<std::uint16_t> out;
  for (std::size_t code = 0; code < code_count(kind); ++code) {
    if (!is_control_code(kind, static_cast<std::uint16_t>(code))) out.push_back(static_cast<std::uint16_t>(code));
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input({data, size});
  const CodeSet kind = (input.byte() & 1) != 0 ? CodeSet::Byte : CodeSet::Message;
  const std::vector<std::uint16_t> codes = glyphs(kind);
  std::vector<fuzz::ReferenceEntry> entries;
  const std::size_t count = 1 + input.byte() % 24;
  for (std::size_t i = 0; i < count; ++i) {
    std::string text = random_text(input, 5);
    if (text.empty()) text = "a";
    entries.push_back({text, codes[input.byte() % codes.size()]});
  }
  // One code, one text: where the input gives a code twice, the later one.
  TranslatorTable table = empty_table(kind);
  for (const auto& e : entries) table.codes[e.code] = TableEntry{e.text, false, CodeRole::None, 1};
  const std::uint16_t end = kind == CodeSet::Message ? 0x0AC : 0xAC;
  table.codes[end] = TableEntry{"[end]", true, CodeRole::End, 1};
  std::vector<fuzz::ReferenceEntry> named;
  for (std::size_t code = 0; code < table.codes.size(); ++code) {
    if (table.codes[code] && !table.codes[code]->bracketed)
      named.push_back({table.codes[code]->text, static_cast<std::uint16_t>(code)});
  }

  std::vector<std::string> runs;
  std::string text;
  const std::size_t messages = 1 + input.byte() % 8;
  for (std::size_t n = 0; n < messages; ++n) {
    runs.push_back(random_text(input, 40));
    text += "(0x0)\n" + runs.back() + "[end]\n";
  }
  const TableIndex index(table);
  const TableText read = read_table_text(text, index);
  FUZZ_CHECK(read.problems.empty() && read.entries.size() == messages);
  const TextToEncode texts[] = {{text, &read}};
  const BankEncoding shortest = encode_bank(index, texts, EncodingMethod::Shortest);
  const BankEncoding greedy = encode_bank(index, texts, EncodingMethod::Greedy);
  const EncodedText& out = shortest.texts[0];

  std::size_t stuck = 0;
  bool greedy_everywhere = true;
  for (std::size_t n = 0; n < messages; ++n) {
    const std::span<const CodedUnit> units = out.entry_codes(n);
    FUZZ_CHECK(!units.empty() && units.back().code == end);
    const std::size_t run_first = read.pieces[read.entries[n].first_piece].first;
    const auto fewest = fuzz::reference_fewest_codes(named, runs[n]);
    greedy_everywhere = greedy_everywhere && fuzz::reference_greedy(named, runs[n]).has_value();
    if (!fewest) {
      FUZZ_CHECK(units.size() == 1);
      FUZZ_CHECK(stuck < out.stuck.size());
      FUZZ_CHECK(out.stuck[stuck].offset == run_first + fuzz::reference_furthest_reach(named, runs[n]));
      while (stuck < out.stuck.size() && out.stuck[stuck].run_first == run_first) ++stuck;
      continue;
    }
    std::string spelled;
    for (std::size_t i = 0; i + 1 < units.size(); ++i) spelled += table.codes[units[i].code]->text;
    FUZZ_CHECK(spelled == runs[n]);
    if (kind == CodeSet::Byte) FUZZ_CHECK(units.size() == *fewest + 1);
  }
  FUZZ_CHECK(stuck == out.stuck.size());
  FUZZ_CHECK(greedy_everywhere == greedy.texts[0].stuck.empty());
  if (greedy_everywhere) {
    FUZZ_CHECK(shortest.size <= greedy.size);
    if (greedy.distinct <= kMaxMessageCodesInUse) FUZZ_CHECK(shortest.distinct <= kMaxMessageCodesInUse);
  }
  return 0;
}
