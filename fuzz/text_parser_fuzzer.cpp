// The encoders' text parser over any bytes at all, against itself fed in
// pieces and against a plain byte-by-byte reading.
//
// Input: one byte picks the bank (value % 3) and the size of the pieces the
// text is also fed in (value / 3 + 1); the rest is the text.
#include <cstdint>

#include "banks.h"
#include "fuzz_check.h"
#include "reference_text_parser.h"
#include "text_parse.h"

namespace {

using namespace talvo;

std::uint32_t index_entry(const std::string& index, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint32_t>(static_cast<std::uint8_t>(index[k])); };
  return byte(3 * i) | byte(3 * i + 1) << 8 | byte(3 * i + 2) << 16;
}

// Two readings of one text give the same bank, index, failure and headers.
void check_same(const fuzz::ParsedText& a, const fuzz::ParsedText& b) {
  FUZZ_CHECK(a.bank == b.bank);
  FUZZ_CHECK(a.index == b.index);
  FUZZ_CHECK(a.failure.kind == b.failure.kind);
  FUZZ_CHECK(a.failure.position == b.failure.position);
  FUZZ_CHECK(a.failure.gathered == b.failure.gathered);
  FUZZ_CHECK(a.header_count == b.header_count);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const EncoderVariant& variant = fuzz::variant_of(data[0]);
  const std::size_t piece = data[0] / 3 + 1;
  const std::span<const std::uint8_t> text(data + 1, size - 1);

  const fuzz::ParsedText whole = fuzz::parse_text(variant, text, text.size() + 1);
  const fuzz::ParsedText pieces = fuzz::parse_text(variant, text, piece);

  // Where the reads split the text changes nothing, and it reads as the
  // plain byte-by-byte reading does.
  check_same(whole, pieces);
  check_same(whole, fuzz::reference_text_parse(variant, text));

  // A failure names a byte of the text and at most the bytes of one token.
  if (whole.failure.kind != ParseFailure::Kind::None) {
    FUZZ_CHECK(whole.failure.position < text.size());
    FUZZ_CHECK(whole.failure.gathered.size() <= 8);
  }
  // Only texts of 16 MB reach the bank limit.
  FUZZ_CHECK(whole.failure.kind != ParseFailure::Kind::BankTooLarge);

  // One index entry for every group begun, each an offset into the bank, in order.
  FUZZ_CHECK(whole.bank.size() == whole.bank_offset);
  FUZZ_CHECK(whole.bank.size() % variant.code_width == 0);
  const std::uint64_t groups = (whole.header_count + variant.index_group - 1) / variant.index_group;
  FUZZ_CHECK(whole.index.size() == groups * 3);
  for (std::size_t i = 0; i < groups; ++i) {
    FUZZ_CHECK(index_entry(whole.index, i) <= whole.bank.size());
    if (i > 0) FUZZ_CHECK(index_entry(whole.index, i - 1) <= index_entry(whole.index, i));
  }
  return 0;
}
