// The whole-text conversions between UTF-8 working copies and Shift_JIS
// over any bytes, read both as UTF-8 and as Shift_JIS.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cp932.h"
#include "fuzz_check.h"
#include "utf8.h"

namespace {

using namespace talvo;

// The code points of a text known to be valid UTF-8.
std::vector<char32_t> code_points(std::string_view utf8) {
  std::vector<char32_t> out;
  while (!utf8.empty()) {
    const Utf8Char c = decode_utf8(utf8);
    FUZZ_CHECK(c.error == Utf8Error::None && c.length > 0);
    out.push_back(c.code_point);
    utf8.remove_prefix(c.length);
  }
  return out;
}

// What a character reads as once written: itself, or for the JIS forms the
// code page's own character.
char32_t written_form(char32_t code_point) {
  const auto code = encode_cp932(code_point);
  FUZZ_CHECK(code.has_value());
  char bytes[2] = {static_cast<char>(*code >> 8), static_cast<char>(*code & 0xFF)};
  const std::string_view text = *code < 0x100 ? std::string_view(bytes + 1, 1) : std::string_view(bytes, 2);
  const Cp932Char read = decode_cp932(text);
  FUZZ_CHECK(read.length == text.size());
  return read.code_point;
}

void check_utf8_input(std::string_view utf8) {
  std::vector<std::size_t> offsets;
  const Utf8ToSjisResult result = utf8_to_sjis_text(utf8, &offsets);
  const bool bom = utf8.starts_with("\xEF\xBB\xBF");
  const std::size_t start = bom ? 3 : 0;
  const std::size_t end = result.error == Utf8ToSjisError::None ? utf8.size() : result.error_offset;
  FUZZ_CHECK(start <= end && end <= utf8.size());
  if (result.error != Utf8ToSjisError::None) {
    FUZZ_CHECK(end < utf8.size());
    const Utf8Char failing = decode_utf8(utf8.substr(end));
    FUZZ_CHECK((result.error == Utf8ToSjisError::InvalidUtf8) == (failing.error != Utf8Error::None));
    FUZZ_CHECK(failing.error == result.utf8_error);
    if (result.error == Utf8ToSjisError::NoCp932Form) {
      FUZZ_CHECK(failing.code_point == result.code_point && !encode_cp932(result.code_point));
    }
  }

  // One offset for every byte written and one for the end, in order, each
  // at a character of the input that was converted.
  FUZZ_CHECK(offsets.size() == result.sjis.size() + 1);
  FUZZ_CHECK(offsets.back() == end);
  for (std::size_t i = 0; i < result.sjis.size(); ++i) {
    FUZZ_CHECK(offsets[i] >= start && offsets[i] < end);
    FUZZ_CHECK(offsets[i] <= offsets[i + 1]);
    FUZZ_CHECK(decode_utf8(utf8.substr(offsets[i])).error == Utf8Error::None);
  }

  // What was written reads back as what was read, JIS forms aside, and
  // writes again byte for byte.
  const SjisToUtf8Result back = sjis_to_utf8_text(result.sjis);
  FUZZ_CHECK(!back.failed_at);
  std::vector<char32_t> expected = code_points(utf8.substr(start, end - start));
  for (char32_t& c : expected) c = written_form(c);
  FUZZ_CHECK(code_points(back.utf8) == expected);
  const Utf8ToSjisResult again = utf8_to_sjis_text(back.utf8);
  FUZZ_CHECK(again.error == Utf8ToSjisError::None && again.sjis == result.sjis);
}

void check_sjis_input(std::string_view sjis) {
  const SjisToUtf8Result result = sjis_to_utf8_text(sjis);
  const std::size_t end = result.failed_at.value_or(sjis.size());
  FUZZ_CHECK(end <= sjis.size());
  if (result.failed_at) {
    FUZZ_CHECK(end < sjis.size() && decode_cp932(sjis.substr(end)).length == 0);
  }
  // The text written is UTF-8 that converts back to as many Shift_JIS
  // bytes, reading as the same characters (a character the code page has
  // twice comes back with the code that is written for it).
  code_points(result.utf8);
  const Utf8ToSjisResult back = utf8_to_sjis_text(result.utf8);
  FUZZ_CHECK(back.error == Utf8ToSjisError::None);
  FUZZ_CHECK(back.sjis.size() == end);
  const SjisToUtf8Result again = sjis_to_utf8_text(back.sjis);
  FUZZ_CHECK(!again.failed_at && again.utf8 == result.utf8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check_utf8_input(bytes);
  check_sjis_input(bytes);
  return 0;
}
