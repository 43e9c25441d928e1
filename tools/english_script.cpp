#include "english_script.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string_view>
#include <vector>

#include "seeded_random.h"
#include "token_tables.h"

namespace talvo::builder {
namespace {

// Words of a small adventure, ours, in rough order of how often a script
// would use them: the first ones are drawn more often.
constexpr std::string_view kWords[] = {
    "the",      "you",     "to",     "a",       "of",      "and",     "is",      "it",       "in",       "that",
    "we",       "this",    "have",   "for",     "my",      "not",     "be",      "with",     "your",     "on",
    "are",      "can",     "will",   "all",     "there",   "from",    "me",      "here",     "town",     "what",
    "know",     "they",    "if",     "was",     "at",      "go",      "one",     "king",     "north",    "forest",
    "sword",    "ship",    "port",   "inn",     "night",   "gold",    "father",  "road",     "castle",   "bridge",
    "old",      "man",     "girl",   "cat",     "white",   "little",  "long",    "ago",      "dragon",   "lived",
    "mountain", "well",    "water",  "sweet",   "strange", "light",   "door",    "locked",   "treasure", "chest",
    "map",      "broken",  "cannot", "cross",   "save",    "journey", "rest",    "sleep",    "dream",    "morning",
    "welcome",  "thank",   "again",  "come",    "back",    "soon",    "please",  "buy",      "sell",     "price",
    "herb",     "potion",  "armor",  "shield",  "ring",    "take",    "give",    "find",     "look",     "search",
    "monster",  "careful", "danger", "east",    "west",    "south",   "village", "festival", "weather",  "today",
    "tomorrow", "days",    "three",  "ten",     "twenty",  "many",    "people",  "soldier",  "guard",    "gate",
    "beyond",   "through", "let",    "us",      "our",     "them",    "his",     "her",      "friend",   "help",
    "hurt",     "leg",     "move",   "waiting", "lost",    "found",   "small",   "house",    "deep",     "woods",
    "level",    "rose",    "fully",  "healed",  "record",  "saved",   "ready",   "next",     "trip",     "sea",
    "wind",     "storm",   "rain",   "sun",     "moon",    "star",    "fire",    "ice",      "stone",    "key",
    "open",     "close",   "quiet",  "loud",    "brave",   "afraid",  "heart",   "hope",     "story",    "song",
};

constexpr std::string_view kNames[] = {"Raul", "Mina", "Sera", "Orlan", "Tessa", "Bram"};
constexpr std::string_view kEndings[] = {".", ".", ".", "!", "?", "..."};

// Words drawn with a bias towards the start of the list, as text uses the
// short words most.
std::string_view word(std::mt19937_64& rng) {
  constexpr std::size_t n = std::size(kWords);
  const double u = unit(rng);
  return kWords[static_cast<std::size_t>(u * u * n) % n];
}

std::string capitalised(std::string_view w) {
  std::string out(w);
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 'a' + 'A');
  return out;
}

// Lines of at most `width` characters, words kept whole.
std::vector<std::string> wrapped(const std::string& text, std::size_t width) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string w = text.substr(start, end - start);
    if (!line.empty() && line.size() + 1 + w.size() > width) {
      lines.push_back(line);
      line.clear();
    }
    line += (line.empty() ? "" : " ") + w;
    start = end + 1;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void append_header(std::string& out, std::size_t number) {
  char header[32];
  std::snprintf(header, sizeof header, "(0x%04zX)", number);
  out += header;
}

// Letters, digits and punctuation our English uses, the space first.
const std::string kSingles = " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,!?'\"-:;";

// The most frequent pairs of characters in a sample of our messages, in
// order of frequency, then of text.
std::vector<std::string> frequent_pairs(std::size_t count) {
  std::mt19937_64 rng(7);
  std::map<std::string, std::size_t> counts;
  for (int i = 0; i < 3000; ++i) {
    const std::string s = english_sentence(rng);
    for (std::size_t j = 0; j + 1 < s.size(); ++j) ++counts[s.substr(j, 2)];
  }
  std::vector<std::pair<std::string, std::size_t>> sorted(counts.begin(), counts.end());
  std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  std::vector<std::string> pairs;
  for (std::size_t i = 0; i < sorted.size() && pairs.size() < count; ++i) pairs.push_back(sorted[i].first);
  return pairs;
}

void append_entry(std::string& out, const char* format, unsigned code, const std::string& text) {
  char field[16];
  std::snprintf(field, sizeof field, format, code);
  out += field;
  out += text;
  out += '\n';
}

}  // namespace

std::string english_sentence(std::mt19937_64& rng) {
  std::string s;
  const std::size_t words = 3 + pick(rng, 9);
  for (std::size_t i = 0; i < words; ++i) {
    std::string w(pick(rng, 12) == 0 ? kNames[pick(rng, std::size(kNames))] : word(rng));
    if (i == 0) w = capitalised(w);
    if (!s.empty()) s += ' ';
    s += w;
    if (i + 1 < words && i > 1 && pick(rng, 7) == 0) s += ',';
  }
  return s + std::string(kEndings[pick(rng, std::size(kEndings))]);
}

std::string english_message_text(std::uint64_t seed, std::size_t entries, std::size_t line_width,
                                 std::size_t sentences_at_most) {
  std::mt19937_64 rng(seed);
  std::string out;
  for (std::size_t n = 0; n < entries; ++n) {
    out += n == 0 ? "" : "\n";
    append_header(out, n);
    out += '\n';
    std::string text;
    if (pick(rng, 5) == 0) text = std::string(kNames[pick(rng, std::size(kNames))]) + ":";
    const std::size_t sentences = 1 + pick(rng, sentences_at_most);
    for (std::size_t i = 0; i < sentences; ++i) text += (text.empty() ? "" : " ") + english_sentence(rng);
    const std::vector<std::string> lines = wrapped(text, line_width);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      out += lines[i];
      if (i + 1 < lines.size() && pick(rng, 9) == 0) out += "[wait]";
      out += i + 1 < lines.size() ? "[line]\n" : "[end]\n";
    }
  }
  return out;
}

std::string english_byte_text(std::uint64_t seed, std::size_t entries, bool battle) {
  std::mt19937_64 rng(seed);
  std::string out;
  for (std::size_t n = 0; n < entries; ++n) {
    append_header(out, n);
    if (battle) {
      std::string line = english_sentence(rng);
      if (line.size() > 40) line = line.substr(0, 39) + "!";
      out += line;
    } else {
      out += capitalised(word(rng));
      if (pick(rng, 2) == 0) out += " " + std::string(word(rng));
    }
    out += "[end]\n";
  }
  return out;
}

std::string english_message_table(std::size_t pairs, std::size_t words) {
  std::string out = "# English letters and pairs for the message codes\n";
  out += "/0AC=[end]\n*0AD=[line]\n/0AE=[stop]\n*0AF=[page]\n00B0=[wait]\n0010=[name]\n";
  unsigned code = 0x200;
  for (char c : kSingles) append_entry(out, "%04X=", code++, std::string(1, c));
  code = 0x300;
  for (const std::string& pair : frequent_pairs(std::min<std::size_t>(pairs, 256)))
    append_entry(out, "%04X=", code++, pair);
  // The words of the list are in order of use; one-letter words are pairs.
  code = 0x400;
  for (std::size_t i = 0; i < std::size(kWords) && code < 0x400 + std::min<std::size_t>(words, 256); ++i) {
    if (kWords[i].size() > 1) append_entry(out, "%04X=", code++, std::string(kWords[i]) + " ");
  }
  return out;
}

std::string english_byte_table(std::size_t pairs) {
  std::string out = "# English letters and pairs for the byte codes\n/AC=[end]\n/AE=[end2]\n";
  std::vector<unsigned> glyphs;
  for (unsigned code = 1; code < 256; ++code) {
    if (byte_extraction_table()[code][0] != '[') glyphs.push_back(code);
  }
  std::size_t next = 0;
  for (char c : kSingles) append_entry(out, "%02X=", glyphs[next++], std::string(1, c));
  for (const std::string& pair : frequent_pairs(std::min(pairs, glyphs.size() - next)))
    append_entry(out, "%02X=", glyphs[next++], pair);
  return out;
}

}  // namespace talvo::builder
