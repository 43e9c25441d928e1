// English text of our own for the tests and benchmarks of translators'
// tables: seeded sentences from a word list, put into text files of the
// game's three banks as a table-mode text file holds them (UTF-8), and the
// tables of letters, punctuation and frequent pairs that read them.
//
// Control names in the texts: [end] (0x0AC) ends a message, [line] (0x0AD)
// breaks its line, [wait] (0x0B0) and [name] (0x010) stand inside it; a
// byte-bank entry ends with [end] (0xAC).
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace talvo::builder {

// One sentence: a capital, words, sometimes a comma, a full stop, "!" or "?".
std::string english_sentence(std::mt19937_64& rng);

// The message file: `entries` messages of one to four lines of about
// `line_width` characters at most, with their headers, as the extractor lays
// them out.
// Each message holds one sentence up to `sentences`.
std::string english_message_text(std::uint64_t seed, std::size_t entries = 4047, std::size_t line_width = 32,
                                 std::size_t sentences = 3);

// A byte-bank file: short names (fixed strings) or battle lines, one entry a
// line.
std::string english_byte_text(std::uint64_t seed, std::size_t entries, bool battle);

// The message table: the role and control names above, the space at 0x200,
// letters, digits and punctuation from 0x201, `pairs` of the most frequent
// two-character texts of our English from 0x300 (at most 256), and `words`
// of our most frequent words with the space after them from 0x400 (at most
// 256; with none, 0x400-0x4FF stay free).
std::string english_message_table(std::size_t pairs, std::size_t words = 0);

// The byte table: [end] at AC and [end2] at AE, the space, letters, digits
// and punctuation at the glyph codes from 01 upwards, and `pairs` pairs at
// the glyph codes after them.
std::string english_byte_table(std::size_t pairs);

}  // namespace talvo::builder
