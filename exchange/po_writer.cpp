// The PO writer, laying files out as msgcat does, so that a file we write
// and the same file passed through gettext's tools differ as little as they
// can: a string holding line feeds begins with "" and goes on one quoted
// line per line of text.
#include "po_file.h"

namespace talvo::exchange {
namespace {

void append_escaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\a':
        out += "\\a";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\v':
        out += "\\v";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          const auto byte = static_cast<unsigned char>(c);
          out += '\\';
          out += static_cast<char>('0' + (byte >> 6));
          out += static_cast<char>('0' + ((byte >> 3) & 7));
          out += static_cast<char>('0' + (byte & 7));
        } else {
          out += c;
        }
    }
  }
}

void append_string(std::string& out, std::string_view keyword, std::string_view text) {
  out += keyword;
  const std::size_t inner = text.find('\n');
  if (inner == std::string_view::npos || inner + 1 == text.size()) {
    out += " \"";
    append_escaped(out, text);
    out += "\"\n";
    return;
  }
  out += " \"\"\n";
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end == std::string_view::npos ? end : end + 1);
    out += '"';
    append_escaped(out, line);
    out += "\"\n";
    text.remove_prefix(line.size());
  }
}

// Comment lines, one for each line of `text`; none for an empty text.
void append_comments(std::string& out, std::string_view mark, std::string_view text) {
  if (text.empty()) return;
  for (;;) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    out += mark;
    if (!line.empty()) {
      out += ' ';
      out += line;
    }
    out += '\n';
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

void append_message(std::string& out, const PoMessage& message) {
  append_comments(out, "#", message.comments);
  append_comments(out, "#.", message.extracted_comments);
  append_comments(out, "#:", message.references);
  if (message.fuzzy || !message.flags.empty()) {
    out += "#,";
    bool first = true;
    if (message.fuzzy) {
      out += " fuzzy";
      first = false;
    }
    for (const std::string& flag : message.flags) {
      out += first ? " " : ", ";
      out += flag;
      first = false;
    }
    out += '\n';
  }
  if (message.context) append_string(out, "msgctxt", message.context->text);
  append_string(out, "msgid", message.id.text);
  append_string(out, "msgstr", message.translation.text);
}

}  // namespace

std::string write_po(const PoFile& file) {
  std::string out;
  std::size_t size = 0;
  for (const PoMessage& message : file.messages) {
    size += 40 + 2 * (message.id.text.size() + message.translation.text.size()) + message.extracted_comments.size() +
            message.references.size();
  }
  out.reserve(size + 1024);
  if (file.header) append_message(out, *file.header);
  for (const PoMessage& message : file.messages) {
    if (!out.empty()) out += '\n';
    append_message(out, message);
  }
  return out;
}

}  // namespace talvo::exchange
