// Builds cartridge images in the game's text layout from code sequences, and
// tells what the extractor and the encoders must write for them. The tests and
// the benchmarks use it in place of a real cartridge, which we cannot ship.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talvo::builder {

// Every entry ends with its terminator and holds none before it: messages end
// with 0x0AC or 0x0AE, fixed strings with 0xAC, battle text with 0xAC or 0xAE.
struct ImageContent {
  std::vector<std::vector<std::uint16_t>> messages;      // 4047
  std::vector<std::vector<std::uint8_t>> fixed_strings;  // 958
  std::vector<std::vector<std::uint8_t>> battle_text;    // 375
};

enum class ImageSize { Plain4Mb, CopierHeader4Mb, Plain6Mb };

// Throws std::runtime_error naming the first fault: a wrong entry count, a
// missing or early terminator, a message code out of range, or more distinct
// message codes than the game's tree can hold.
void validate(const ImageContent& content);

// A randomised image: the copier header and every byte the decoder must not
// read are random, unreachable tree slots hold 0xFFFF, tree node numbers, the
// dropped bit of inner branches and small gaps between byte-bank groups all
// come from `seed`. Throws std::runtime_error if the content is invalid or
// does not fit its regions.
std::vector<std::uint8_t> build_image(const ImageContent& content, ImageSize size, std::uint64_t seed);

// A plain image of the same content: zeros wherever the decoder does not
// read, nodes numbered in order, byte-bank groups packed back to back.
std::vector<std::uint8_t> build_image(const ImageContent& content, ImageSize size);

std::uint64_t image_size(ImageSize size);

// Content generators; all are deterministic.
ImageContent random_content(std::uint64_t seed);
// Between which = 0 and 1 every message code is used; each uses every byte code
// in both byte banks. Throws std::invalid_argument for any other `which`.
ImageContent every_code_content(int which);
// Our own Japanese sample texts. Throws std::runtime_error naming the sentence
// if one holds a character missing from its table.
ImageContent sample_content();
// Messages filling the message region almost to its end, for the benchmark.
ImageContent full_size_content(std::uint64_t seed);

// What the extractor writes: MsgDataDecode.txt, StrDataDecode.txt and
// BtlDataDecode.txt, as Shift_JIS bytes.
std::string expected_message_text(const ImageContent& content);
std::string expected_fixed_string_text(const ImageContent& content);
std::string expected_battle_text(const ImageContent& content);

// The same for entries of one bank, which the caller vouches for: no
// validation, for the fuzzers that made them.
std::string message_text(const std::vector<std::vector<std::uint16_t>>& messages);
std::string byte_bank_text(const std::vector<std::vector<std::uint8_t>>& entries);

// What the encoders write: the code banks and their group indexes, as bytes.
std::string expected_message_bank(const ImageContent& content);
std::string expected_message_index(const ImageContent& content);
std::string expected_fixed_string_bank(const ImageContent& content);
std::string expected_fixed_string_index(const ImageContent& content);
std::string expected_battle_bank(const ImageContent& content);
std::string expected_battle_index(const ImageContent& content);

}  // namespace talvo::builder
