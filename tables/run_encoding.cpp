#include "run_encoding.h"

#include "utf8.h"

namespace talvo::tables {

bool RunMatches::add_run(const EntryTrie& trie, std::string_view run) {
  if (trie.longest_text() > 256) return false;
  if (firsts_.empty()) firsts_.push_back(0);
  // Position p's matches run from firsts_[base + p] to firsts_[base + p + 1];
  // the last entry of one run is where the next one's first position starts.
  run_first_position_.push_back(firsts_.size() - 1);
  for (std::size_t p = 0; p < run.size(); ++p) {
    trie.for_each_match(run, p, [&](std::size_t end, std::uint16_t code) {
      matches_.push_back({code, static_cast<std::uint8_t>(end - p - 1)});
    });
    firsts_.push_back(static_cast<std::uint32_t>(matches_.size()));
  }
  return true;
}

std::size_t character_bytes(std::string_view text, std::size_t offset) {
  const Utf8Char c = decode_utf8(text.substr(offset));
  return c.length > 0 ? c.length : 1;
}

}  // namespace talvo::tables
