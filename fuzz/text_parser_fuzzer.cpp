// The encoders' text parser over any bytes at all, against itself fed in
// pieces and against a plain byte-by-byte reading.
//
// Input: one byte picks the bank (value % 3) and the size of the pieces the
// text is also fed in (value / 3 + 1); the rest is the text.
#include <cstdint>

#include "fuzz_check.h"
#include "reference_text_parser.h"
#include "text_parse.h"

namespace {

using namespace talvo;

std::uint32_t index_entry(const std::string& index, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint32_t>(static_cast<std::uint8_t>(index[k])); };
  return byte(3 * i) | byte(3 * i + 1) << 8 | byte(3 * i + 2) << 16;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const EncoderVariant& variant = fuzz::variant_of(data[0]);
  const std::size_t piece = data[0] / 3 + 1;
  const std::span<const std::uint8_t> text(data + 1, size - 1);

  const fuzz::ParsedText whole = fuzz::parse_text(variant, text, text.size() + 1);
  const fuzz::ParsedText pieces = fuzz::parse_text(variant, text, piece);

  // Where the reads split the text changes nothing.
  FUZZ_CHECK(whole.bank == pieces.bank);
  FUZZ_CHECK(whole.index == pieces.index);
  FUZZ_CHECK(whole.failure.kind == pieces.failure.kind);
  FUZZ_CHECK(whole.failure.position == pieces.failure.position);
  FUZZ_CHECK(whole.failure.gathered == pieces.failure.gathered);
  FUZZ_CHECK(whole.header_count == pieces.header_count);

  // And it reads as the plain byte-by-byte reading does.
  const fuzz::ParsedText reference = fuzz::reference_text_parse(variant, text);
  FUZZ_CHECK(whole.bank == reference.bank);
  FUZZ_CHECK(whole.index == reference.index);
  FUZZ_CHECK(whole.failure.kind == reference.failure.kind);
  FUZZ_CHECK(whole.failure.position == reference.failure.position);
  FUZZ_CHECK(whole.failure.gathered == reference.failure.gathered);
  FUZZ_CHECK(whole.header_count == reference.header_count);

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
