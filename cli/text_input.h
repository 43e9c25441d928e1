// A text file as the command line reads it: the bytes of the file, and the
// Shift_JIS text the encoders read, converted from UTF-8 where the file is a
// UTF-8 working copy, with the way back from any Shift_JIS offset to the
// file's own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "command_line.h"
#include "file_memory.h"
#include "text_checker.h"

namespace talvo::cli {

// The largest text file the command line reads: a full message file is half
// a megabyte.
inline constexpr std::uint64_t kLargestTextFile = std::uint64_t{256} << 20;

struct TextInput {
  std::string path;
  TextEncoding encoding = TextEncoding::ShiftJis;
  FileBytes bytes;        // the file as read
  std::string converted;  // UTF-8 only: the Shift_JIS the reader reads
  // UTF-8 only: places where the two texts agree, one every
  // kAnchorSpacing Shift_JIS bytes or so, from which any offset is found by
  // reading on a few characters: an offset for every byte took eight times
  // the file's size.
  struct Anchor {
    std::size_t sjis;  // a Shift_JIS offset that begins a character
    std::size_t file;  // and the file offset of that character
  };
  static constexpr std::size_t kAnchorSpacing = 128;
  std::vector<Anchor> anchors;
  // What the conversion found (invalid UTF-8, characters code page 932
  // cannot write, a byte-order mark), in file offsets. Conversion goes on
  // behind each, leaving the character out.
  std::vector<Diagnostic> conversion;

  std::string_view file() const { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }
  // What the encoders read: the file itself, or its conversion.
  std::string_view sjis() const { return encoding == TextEncoding::ShiftJis ? file() : std::string_view(converted); }

  // A Shift_JIS offset as an offset of the file: that of the character
  // its byte belongs to, and the file's size for the end of the text.
  std::size_t file_offset(std::size_t sjis_offset) const;
};

// Takes the bytes of a text file and converts them where it is UTF-8.
TextInput text_input(std::string path, std::string_view file, TextEncoding encoding);

// Reads and converts a text file; false with the reason when it cannot be read.
bool load_text(const std::string& path, TextEncoding encoding, TextInput& input, std::string& reason);

}  // namespace talvo::cli
