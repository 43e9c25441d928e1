#include "cp932.h"

#include <array>

namespace talvo {
namespace {

#include "cp932_table.inc"

constexpr char16_t kNoChar = 0xFFFF;
constexpr std::uint16_t kNoCode = 0xFFFF;  // no code page 932 code is this high
constexpr std::uint8_t kNotHere = 0xFF;

// Row of kDoubleByteChars for each lead byte, column for each trail byte.
constexpr std::array<std::uint8_t, 256> make_lead_rows() {
  std::array<std::uint8_t, 256> rows{};
  rows.fill(kNotHere);
  std::uint8_t row = 0;
  for (unsigned b = 0x81; b <= 0x9F; ++b) rows[b] = row++;
  for (unsigned b = 0xE0; b <= 0xFC; ++b) rows[b] = row++;
  return rows;
}
constexpr std::array<std::uint8_t, 256> make_trail_columns() {
  std::array<std::uint8_t, 256> columns{};
  columns.fill(kNotHere);
  std::uint8_t column = 0;
  for (unsigned b = 0x40; b <= 0xFC; ++b) {
    if (b != 0x7F) columns[b] = column++;
  }
  return columns;
}
constexpr auto kLeadRows = make_lead_rows();
constexpr auto kTrailColumns = make_trail_columns();
static_assert(std::size(kDoubleByteChars) == 0x9F - 0x81 + 1 + 0xFC - 0xE0 + 1);
static_assert(std::size(kDoubleByteChars[0]) == 0xFC - 0x40);

constexpr std::uint16_t code_of(std::size_t row, std::size_t column) {
  const unsigned lead = row < 0x9F - 0x81 + 1 ? 0x81 + row : 0xE0 + row - (0x9F - 0x81 + 1);
  const unsigned trail = column < 0x7F - 0x40 ? 0x40 + column : 0x80 + column - (0x7F - 0x40);
  return static_cast<std::uint16_t>(lead << 8 | trail);
}

// What JIS-based tables and editors give seven characters of the code page;
// the code page writes them as the code points of kDoubleByteChars.
struct Alternative {
  char16_t code_point;
  std::uint16_t code;
};
constexpr Alternative kAlternatives[] = {
    {0x301C, 0x8160},  // WAVE DASH for FULLWIDTH TILDE
    {0x2212, 0x817C},  // MINUS SIGN for FULLWIDTH HYPHEN-MINUS
    {0x2014, 0x815C},  // EM DASH for HORIZONTAL BAR
    {0x2016, 0x8161},  // DOUBLE VERTICAL LINE for PARALLEL TO
    {0x00A2, 0x8191},  // CENT SIGN for FULLWIDTH CENT SIGN
    {0x00A3, 0x8192},  // POUND SIGN for FULLWIDTH POUND SIGN
    {0x00AC, 0x81CA},  // NOT SIGN for FULLWIDTH NOT SIGN
};

// Unicode to code page 932: a row of 256 codes for each high byte of a code
// point that the code page has (about a hundred), row 0 empty for the rest.
template <typename Visit>
constexpr void for_each_mapping(Visit visit) {
  for (unsigned b = 0; b < 256; ++b) {
    if (kSingleByteChars[b] != kNoChar) visit(kSingleByteChars[b], static_cast<std::uint16_t>(b));
  }
  // Where the code page has a character twice, the first code in this order
  // is the one Windows and iconv write: JIS X 0208 before the NEC row 13
  // (lead 0x87), which comes before the IBM extensions (0xFA-0xFC); the NEC
  // selection of the IBM extensions (0xED, 0xEE) only last.
  for (const bool nec_selected : {false, true}) {
    for (std::size_t row = 0; row < std::size(kDoubleByteChars); ++row) {
      const unsigned lead = code_of(row, 0) >> 8;
      if ((lead == 0xED || lead == 0xEE) != nec_selected) continue;
      for (std::size_t column = 0; column < std::size(kDoubleByteChars[row]); ++column) {
        if (kDoubleByteChars[row][column] != kNoChar) visit(kDoubleByteChars[row][column], code_of(row, column));
      }
    }
  }
  for (const Alternative& alternative : kAlternatives) visit(alternative.code_point, alternative.code);
}

constexpr std::size_t count_reverse_rows() {
  std::array<bool, 256> used{};
  for_each_mapping([&](char16_t code_point, std::uint16_t) { used[code_point >> 8] = true; });
  std::size_t rows = 1;
  for (const bool u : used) rows += u ? 1 : 0;
  return rows;
}

struct ReverseTable {
  std::array<std::uint8_t, 256> row_of_high_byte{};
  std::array<std::array<std::uint16_t, 256>, count_reverse_rows()> codes{};
};

constexpr ReverseTable make_reverse_table() {
  ReverseTable table;
  for (auto& row : table.codes) row.fill(kNoCode);
  std::size_t rows = 1;
  for_each_mapping([&](char16_t code_point, std::uint16_t code) {
    std::uint8_t& row = table.row_of_high_byte[code_point >> 8];
    if (row == 0) row = static_cast<std::uint8_t>(rows++);
    std::uint16_t& slot = table.codes[row][code_point & 0xFF];
    if (slot == kNoCode) slot = code;  // the first code in the order above
  });
  return table;
}
constexpr ReverseTable kReverse = make_reverse_table();
static_assert(std::size(kReverse.codes) < 256);

void append_code(std::string& out, std::uint16_t code) {
  if (code >= 0x100) out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

}  // namespace

Cp932Char decode_cp932(std::string_view bytes) {
  if (bytes.empty()) return {};
  const auto first = static_cast<std::uint8_t>(bytes[0]);
  const std::uint8_t row = kLeadRows[first];
  if (row == kNotHere) {
    const char16_t c = kSingleByteChars[first];
    if (c == kNoChar) return {};
    return {c, 1};
  }
  if (bytes.size() < 2) return {};
  const std::uint8_t column = kTrailColumns[static_cast<std::uint8_t>(bytes[1])];
  if (column == kNotHere) return {};
  const char16_t c = kDoubleByteChars[row][column];
  if (c == kNoChar) return {};
  return {c, 2};
}

std::optional<std::uint16_t> encode_cp932(char32_t code_point) {
  if (code_point > 0xFFFF) return std::nullopt;
  const std::uint8_t row = kReverse.row_of_high_byte[code_point >> 8];
  const std::uint16_t code = kReverse.codes[row][code_point & 0xFF];
  if (code == kNoCode) return std::nullopt;
  return code;
}

SjisToUtf8Result sjis_to_utf8_text(std::string_view sjis) {
  SjisToUtf8Result result;
  result.utf8.reserve(sjis.size() + sjis.size() / 2);
  for (std::size_t i = 0; i < sjis.size();) {
    const Cp932Char c = decode_cp932(sjis.substr(i));
    if (c.length == 0) {
      result.failed_at = i;
      break;
    }
    append_utf8(result.utf8, c.code_point);
    i += c.length;
  }
  return result;
}

Utf8ToSjisResult utf8_to_sjis_text(std::string_view utf8, std::vector<std::size_t>* utf8_offsets,
                                   LeadingBom leading_bom) {
  Utf8ToSjisResult result;
  result.sjis.reserve(utf8.size());
  if (utf8_offsets != nullptr) {
    utf8_offsets->clear();
    utf8_offsets->reserve(utf8.size() + 1);
  }
  std::size_t i = leading_bom == LeadingBom::Drop && utf8.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (i < utf8.size()) {
    const Utf8Char c = decode_utf8(utf8.substr(i));
    if (c.error != Utf8Error::None) {
      result.error = Utf8ToSjisError::InvalidUtf8;
      result.utf8_error = c.error;
      break;
    }
    const auto code = encode_cp932(c.code_point);
    if (!code) {
      result.error = Utf8ToSjisError::NoCp932Form;
      result.code_point = c.code_point;
      break;
    }
    append_code(result.sjis, *code);
    if (utf8_offsets != nullptr) utf8_offsets->resize(result.sjis.size(), i);
    i += c.length;
  }
  result.error_offset = result.error == Utf8ToSjisError::None ? 0 : i;
  if (utf8_offsets != nullptr) utf8_offsets->push_back(i);
  return result;
}

}  // namespace talvo
