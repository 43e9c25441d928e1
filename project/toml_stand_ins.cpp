#include "toml_stand_ins.h"

#include <cstdint>
#include <unordered_map>

#include "utf8.h"

namespace talvo::project {
namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;

bool stood_in_for(char32_t c) { return needs_stand_in(c) || c >= kFirstStandIn; }

// Rewrites `text`, replacing each character that `replace` gives a new code
// point for.
template <typename Replace>
std::string rewritten(std::string_view text, Replace replace) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const Utf8Char c = decode_utf8(text);
    if (c.error == Utf8Error::None) {
      if (const std::optional<char32_t> other = replace(c.code_point)) {
        append_utf8(out, *other);
        text.remove_prefix(c.length);
        continue;
      }
    }
    const std::size_t length = c.length == 0 ? 1 : c.length;
    out.append(text.substr(0, length));
    text.remove_prefix(length);
  }
  return out;
}

}  // namespace

bool needs_stand_in(char32_t c) {
  // toml++'s own test, and the cases it answers before its switch.
  if (c <= 0xA0 || c >= 0xFEFF) return false;
  const std::uint64_t index = (c - 0xA0) / 0x3FA;
  if ((std::uint64_t{1} << index) & 0x7FFFFFFFFFFFF75Eull) return false;
  return c != 0x3000 && index != 5 && index != 7;
}

std::optional<StandIns> with_stand_ins(std::string_view text) {
  StandIns result;
  std::unordered_map<char32_t, char32_t> given;
  bool overflow = false;
  result.text = rewritten(text, [&](char32_t c) -> std::optional<char32_t> {
    if (!stood_in_for(c)) return std::nullopt;
    const auto [at, added] = given.try_emplace(c, kFirstStandIn + static_cast<char32_t>(result.originals.size()));
    if (added) {
      if (at->second > kLastCodePoint) overflow = true;
      result.originals.push_back(c);
    }
    return overflow ? kFirstStandIn : at->second;
  });
  if (overflow) return std::nullopt;
  return result;
}

std::string put_back(std::string_view text, const std::vector<char32_t>& originals) {
  if (originals.empty()) return std::string(text);
  return rewritten(text, [&](char32_t c) -> std::optional<char32_t> {
    if (c < kFirstStandIn || c - kFirstStandIn >= originals.size()) return std::nullopt;
    return originals[c - kFirstStandIn];
  });
}

}  // namespace talvo::project
