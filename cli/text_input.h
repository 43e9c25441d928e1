// A text file as the command line reads it: the bytes of the file, and the
// Shift_JIS text the encoders read, converted from UTF-8 where the file is a
// UTF-8 working copy, with the way back from every Shift_JIS offset to the
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
  // UTF-8 only: the file offset of every Shift_JIS byte, and one more for the
  // end of the text.
  std::vector<std::size_t> file_offsets;
  // What the conversion found (invalid UTF-8, characters code page 932
  // cannot write, a byte-order mark), in file offsets. Conversion goes on
  // behind each, leaving the character out.
  std::vector<Diagnostic> conversion;

  std::string_view file() const { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }
  // What the encoders read: the file itself, or its conversion.
  std::string_view sjis() const { return encoding == TextEncoding::ShiftJis ? file() : std::string_view(converted); }

  // A Shift_JIS offset as an offset of the file.
  std::size_t file_offset(std::size_t sjis_offset) const;
};

// Takes the bytes of a text file and converts them where it is UTF-8.
TextInput text_input(std::string path, std::string_view file, TextEncoding encoding);

// Reads and converts a text file; false with the reason when it cannot be read.
bool load_text(const std::string& path, TextEncoding encoding, TextInput& input, std::string& reason);

}  // namespace talvo::cli
