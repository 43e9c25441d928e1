// gettext's PO files, read and written by our own code: the format every
// translation tool speaks (editors, translation memories, web platforms).
//
// A file is a header entry (an empty msgid whose msgstr holds "Field: value"
// lines, the charset among them) and messages: comments, an optional
// msgctxt, msgid and msgstr, each string in C's quotes and escapes, split
// over as many quoted pieces and lines as the tool that wrote it liked.
// Obsolete messages ("#~") are passed over. Only UTF-8 files are read: the
// header may declare no other charset, and every string must be UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text_pieces.h"

namespace talvo::exchange {

struct PoString {
  std::string text;               // unescaped
  std::vector<TextPiece> pieces;  // the line of each quoted piece
  std::size_t line = 0;           // of its keyword
};

struct PoMessage {
  std::size_t line = 0;  // of its first keyword, msgctxt or msgid
  std::optional<PoString> context;
  PoString id;
  PoString translation;            // msgstr, or msgstr[0] of a plural message
  bool plural = false;             // it has msgid_plural and msgstr[N]
  bool fuzzy = false;              // "#, fuzzy": the translation awaits review
  std::vector<std::string> flags;  // the other flags of "#,", such as no-wrap
  std::string comments;            // "# " lines, the translator's, joined by line feeds
  std::string extracted_comments;  // "#. " lines, the tool's notes, joined by line feeds
  std::string references;          // "#: " lines, joined by line feeds
};

struct PoFile {
  std::optional<PoMessage> header;  // the entry with an empty msgid and no msgctxt
  std::vector<PoMessage> messages;  // every other, in the file's order
};

struct PoError {
  std::size_t line = 0;
  std::string message;
};

// Reads a PO file; false with the line and what is wrong where it does not
// parse: a string not closed on its line, an escape C does not have, a
// keyword out of place or unknown, text after a string, bytes that are not
// UTF-8, a charset other than UTF-8, a second header entry, a file that ends
// inside a message.
bool read_po(std::string_view bytes, PoFile& file, PoError& error);

// Writes a PO file as gettext's tools lay one out: a blank line between
// entries, comments first, a string holding line feeds split after each.
// Writes the fields read_po() reads, so that what it writes reads back the
// same (plural messages are not written).
std::string write_po(const PoFile& file);

}  // namespace talvo::exchange
