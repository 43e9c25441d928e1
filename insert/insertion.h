// Putting edited text back into a cartridge image, in the game's own form:
// the inverse of the extractor. One call takes the cartridge data and the
// new code sequences of any of the three banks, and gives either the new
// cartridge data with a report of how the text fits, or a refusal that says
// why nothing was produced. No files, no printing: the command line and the
// desktop program read and check the text files, then call insert_text.
//
// The result is checked before it is handed back: the extractor's own
// decoders read the new cartridge, and every bank must read as the text put
// in (or, for a bank not given, as it read before), while every byte outside
// what insertion writes must be unchanged.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <variant>
#include <vector>

#include "banks.h"
#include "file_memory.h"

namespace talvo::insert {

// The new text of the banks to replace; a bank left empty keeps its bytes.
// Every entry ends with its end code and holds none before it.
struct NewText {
  std::optional<std::vector<std::vector<std::uint16_t>>> messages;      // 4047, each ending with 0x0AC or 0x0AE
  std::optional<std::vector<std::vector<std::uint8_t>>> fixed_strings;  // 958, each ending with 0xAC
  std::optional<std::vector<std::vector<std::uint8_t>>> battle_text;    // 375, each ending with 0xAC or 0xAE
  // By bank_index: what the text would take with one code for each of its
  // characters (bits for messages, bytes for a byte bank), where the caller
  // chose codes that stand for several (a translator's table) and knows;
  // the report says what that saved.
  std::array<std::optional<std::uint64_t>, kBankCount> one_code_per_character;
};

// A span of the cartridge data, ROM offsets, half-open: [start, end).
struct Region {
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  friend bool operator==(const Region&, const Region&) = default;
};

// Free space the translator knows of, beyond each bank's own room. A bank's
// groups fill its own room first, then its extra regions in the order given.
struct Options {
  std::vector<std::pair<Bank, Region>> extra_room;
};

// ---- The fit report ----

// An entry's stored size: bits in the message stream, bytes in a byte bank
// (where bits is 8 times bytes). Message bytes are the bits rounded up.
struct EntrySize {
  std::size_t entry = 0;
  std::uint64_t bits = 0;
  std::uint64_t bytes = 0;
};

// One region a bank may use, and how much of it the new text takes. Groups
// [first_group, first_group + groups) went here, back to back.
struct RegionUse {
  Region region;              // the bytes it spans
  bool default_room = false;  // one of the bank's own regions, found in the input; else an extra region
  // Where in region.start the room begins: 7 is the byte's top bit. Only the
  // message room can begin inside a byte, where the input's stream began.
  unsigned start_bit = 7;
  std::uint64_t room_bits = 0;
  std::uint64_t used_bits = 0;
  std::uint64_t used_bytes = 0;  // bytes the used bits touch
  std::size_t first_group = 0;
  std::size_t groups = 0;
};

// How much an entry grew against the input's own text of it: bits in the
// message stream, bytes times 8 in a byte bank.
struct EntryGrowth {
  std::size_t entry = 0;
  std::uint64_t bits = 0;
  friend bool operator==(const EntryGrowth&, const EntryGrowth&) = default;
};

struct BankFit {
  Bank bank = Bank::Messages;
  bool fits = false;
  std::uint64_t needed_bits = 0;  // the whole bank's new text
  std::uint64_t needed_bytes = 0;
  std::uint64_t room_bits = 0;  // every region of the bank together
  std::uint64_t room_bytes = 0;
  std::uint64_t used_bytes = 0;    // the regions' used bytes together (only when it fits)
  std::size_t distinct_codes = 0;  // messages: codes in the new tree; 0 for the byte banks
  std::vector<EntrySize> largest;  // the 5 largest entries, largest first, ties by entry number
  std::vector<EntryGrowth> grown;  // the 5 that grew most, most first, ties by entry; none that did not
  // What codes that stand for several characters saved against one code for
  // each (bits for messages, bytes for a byte bank), where the text said.
  std::optional<std::uint64_t> saved;
  std::vector<RegionUse> regions;                   // its own regions by address, then the extra regions in order
  std::optional<std::size_t> first_group_left_out;  // when it does not fit: the first group with no place
};

// A cartridge header whose checksum was written anew.
struct HeaderChecksum {
  std::uint32_t offset = 0;  // the header's start: 0x7FC0, 0xFFC0 or 0x40FFC0
  std::uint8_t map_mode = 0;
  std::uint16_t old_checksum = 0;
  std::uint16_t new_checksum = 0;
};

// The internal header counts as valid where its checksum and complement
// agree (complement == checksum ^ 0xFFFF), its map mode fits its place, and
// its checksum equals the input's own sum. Only valid headers are rewritten.
struct ChecksumReport {
  std::vector<HeaderChecksum> recomputed;  // empty: no valid header, none was touched
  // Headers that look valid but whose checksum did not match the input
  // (an image edited before): left alone, as they were.
  std::vector<std::uint32_t> stale;
};

struct FitReport {
  std::vector<BankFit> banks;  // the banks given, in the order messages, fixed strings, battle text
  ChecksumReport checksum;
};

// ---- Refusals: nothing is produced ----

// The cartridge is neither 4 MB nor 6 MB (a copier header is the caller's).
struct UnsupportedImageSize {
  std::uint64_t size = 0;
  friend bool operator==(const UnsupportedImageSize&, const UnsupportedImageSize&) = default;
};

// How the extractor fails on the input; the caller shows the extractor's
// text for it: TreeUnreadable "failed to read the Huffman tree",
// TreeInvalid "failed to expand the Huffman tree", AccessTableRead "failed
// to read the message access table", MessageDataRead "failed to read the
// message data", ByteBankRead "failed to read the fixed strings".
enum class OriginalFailure { TreeUnreadable, TreeInvalid, AccessTableRead, MessageDataRead, ByteBankRead };

// A bank of the input cannot be read as the extractor reads it; `entry` is
// the entry being read when it failed (0 for the tree).
struct BrokenOriginal {
  Bank bank = Bank::Messages;
  OriginalFailure failure = OriginalFailure::TreeInvalid;
  std::size_t entry = 0;
  friend bool operator==(const BrokenOriginal&, const BrokenOriginal&) = default;
};

struct WrongEntryCount {
  Bank bank = Bank::Messages;
  std::size_t given = 0;
  std::size_t expected = 0;
  friend bool operator==(const WrongEntryCount&, const WrongEntryCount&) = default;
};

// An entry that does not end with its end code (`missing`, position is its
// length), or has one before its end, at `position`.
struct MisplacedEndCode {
  Bank bank = Bank::Messages;
  std::size_t entry = 0;
  std::size_t position = 0;
  bool missing = false;
  friend bool operator==(const MisplacedEndCode&, const MisplacedEndCode&) = default;
};

// A message code past the last one, 0x60B.
struct CodeOutOfRange {
  std::size_t message = 0;
  std::size_t position = 0;
  std::uint16_t code = 0;
  friend bool operator==(const CodeOutOfRange&, const CodeOutOfRange&) = default;
};

struct CodeUse {
  std::uint16_t code = 0;
  std::uint64_t uses = 0;
  std::size_t first_message = 0;  // the first message that uses it
  friend bool operator==(const CodeUse&, const CodeUse&) = default;
};

// The messages use more distinct codes than the tree holds. `rarest` are the
// codes that would have to be replaced to fit: the distinct - limit least
// used, rarest first, ties by code.
struct TooManyCodes {
  std::size_t distinct = 0;
  std::size_t limit = 0;
  std::vector<CodeUse> rarest;
};

enum class RegionFault {
  Empty,           // end <= start
  OutsideImage,    // reaches past the end of the cartridge
  OverlapsTables,  // touches the pointer tables or the tree, 0x152A4-0x1697B
  OverlapsHeader,  // touches a cartridge header, valid or stale (its 32 bytes)
  Unreachable,     // the bank's pointers cannot reach every place in it
  OverlapsRoom,    // touches a bank's own room (other_bank; may be the same bank)
  OverlapsRegion,  // touches an extra region given before it (other_bank, other)
};

// A region that cannot be used. `default_room` names one of the bank's own
// regions found in the input (it overlaps something another bank writes or the
// tables): the input is laid out in a way insertion cannot keep safe.
struct BadRegion {
  Bank bank = Bank::Messages;
  Region region;
  bool default_room = false;
  RegionFault fault = RegionFault::Empty;
  std::optional<Bank> other_bank;
  Region other;  // OverlapsRoom, OverlapsRegion: what it touches
};

// At least one bank's new text does not fit its room; the report holds every
// bank given, each with `fits`, and `bank` is the first that does not.
struct DoesNotFit {
  Bank bank = Bank::Messages;
  FitReport report;
};

// The new cartridge did not read back as it must: a fault of insertion, never
// of the text. With `bank`, entry `entry` is the first that reads otherwise;
// without it, the byte at `offset` changed although nothing was written there.
struct VerificationFailed {
  std::optional<Bank> bank;
  std::size_t entry = 0;
  std::uint32_t offset = 0;
};

using Refusal = std::variant<UnsupportedImageSize, BrokenOriginal, WrongEntryCount, MisplacedEndCode, CodeOutOfRange,
                             TooManyCodes, BadRegion, DoesNotFit, VerificationFailed>;

struct Inserted {
  FileBytes cartridge;  // the new cartridge data, as long as the input
  FitReport report;
};

using Outcome = std::variant<Inserted, Refusal>;

// Writes the new text of the banks given into a copy of `cartridge` (the
// cartridge data without a copier header, 4 MB or 6 MB). Each bank's groups
// go into its own room, the regions its entries occupy in the input, then
// into its extra regions; a message tree is built anew from the new text's code
// counts. Deterministic: the same input gives the same bytes.
Outcome insert_text(std::span<const std::uint8_t> cartridge, const NewText& text, const Options& options = {});

}  // namespace talvo::insert
