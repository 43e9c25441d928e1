#include "table_file_reader.h"

#include <optional>

#include "utf8.h"

namespace talvo::tables {
namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The value of a string of hexadecimal digits, or nothing when it holds
// another character or is empty or too long.
std::optional<std::uint32_t> hex_value(std::string_view digits, std::size_t max_digits) {
  if (digits.empty() || digits.size() > max_digits) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    const int digit = hex_digit(c);
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return value;
}

std::string code_point_label(char32_t c) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string label = "U+";
  int digits = c > 0xFFFF ? 6 : 4;
  while (digits-- > 0) label += kDigits[c >> (4 * digits) & 0xF];
  return label;
}

bool is_blank(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

class Reader {
 public:
  explicit Reader(CodeSet kind) { reading_.table = empty_table(kind); }

  // False once too many errors have been told.
  bool read_line(std::string_view line, std::uint32_t number, bool last) {
    line_ = number;
    last_ = last;
    if (const auto problem = problem_of(line)) {
      reading_.errors.push_back({number, *problem});
      if (reading_.errors.size() >= kMaxTableErrors) {
        reading_.errors.push_back({number, "too many errors; the rest of the table was not read"});
        return false;
      }
    }
    return true;
  }

  TableReading take() { return std::move(reading_); }

 private:
  CodeSet kind() const { return reading_.table.kind; }
  std::string label(std::uint16_t code) const { return code_label(kind(), code); }

  // What is wrong with a line, or nothing after taking its entry.
  std::optional<std::string> problem_of(std::string_view line) {
    // Bytes that are not UTF-8, anywhere on the line, before anything else.
    std::size_t characters = 0;
    std::optional<char32_t> control;
    const std::size_t equals = line.find('=');
    for (std::size_t at = 0; at < line.size();) {
      const Utf8Char c = decode_utf8(line.substr(at));
      if (c.error != Utf8Error::None) {
        // A sequence the line's end cuts short is cut short by the line, not
        // by the end of the file.
        const Utf8Error error = c.error == Utf8Error::Truncated && !last_ ? Utf8Error::MissingContinuation : c.error;
        return "bytes that are not UTF-8 (" + std::string(utf8_error_text(error)) + ")";
      }
      if (equals != std::string_view::npos && at > equals) {
        ++characters;
        if ((c.code_point < 0x20 || c.code_point == 0x7F) && !control) control = c.code_point;
      }
      at += c.length;
    }
    if (is_blank(line) || line.front() == '#') return std::nullopt;

    CodeRole mark = CodeRole::None;
    std::string_view field = line;
    if (field.front() == '/' || field.front() == '*') {
      mark = field.front() == '/' ? CodeRole::End : CodeRole::LineBreak;
      field.remove_prefix(1);
    }
    if (equals == std::string_view::npos) return std::string("expected CODE=TEXT, such as 0302=e; there is no '='");
    const std::string_view digits = field.substr(0, equals - (line.size() - field.size()));
    const std::string_view text = line.substr(equals + 1);

    const bool message = kind() == CodeSet::Message;
    const auto value = hex_value(digits, message ? 4 : 2);
    if (!value || (!message && digits.size() != 2)) {
      return "'" + std::string(digits) + "' is not a code: " +
             (message ? "a message table's codes have 1 to 4 hexadecimal digits, such as 302 or 0302"
                      : "a byte table's codes have 2 hexadecimal digits, such as 4A");
    }
    if (*value >= code_count(kind())) {
      return "code 0x" + std::string(digits) + " lies beyond the message codes, which end at 0x60B";
    }
    const auto code = static_cast<std::uint16_t>(*value);
    auto& slot = reading_.table.codes[code];
    if (slot) return "code " + label(code) + " is named twice (first on line " + std::to_string(slot->line) + ")";
    if (text.empty()) return "code " + label(code) + " has no text after its '='";
    if (control)
      return "the text of code " + label(code) + " holds the control character " + code_point_label(*control);
    if (characters > kMaxTextCharacters) {
      return "the text of code " + label(code) + " has " + std::to_string(characters) + " characters; at most " +
             std::to_string(kMaxTextCharacters) + " are allowed";
    }

    const bool bracketed = text.size() >= 2 && text.front() == '[' && text.back() == ']';
    const std::string_view inside = bracketed ? text.substr(1, text.size() - 2) : text;
    if (inside.find_first_of("[]") != std::string_view::npos) {
      return bracketed ? "the name of code " + label(code) +
                             " holds a bracket; a name is written [name], without "
                             "brackets inside"
                       : "the text of code " + label(code) +
                             " holds a bracket; brackets stand only around a whole name, such as [wait]";
    }
    if (bracketed && inside.empty()) return "code " + label(code) + " has an empty name, []";
    if (bracketed) {
      if (const auto problem = hex_name_problem(inside, code)) return problem;
    }

    const CodeRole role = code_role(kind(), code);
    if (mark != CodeRole::None && mark != role) return mark_problem(mark, code);
    if (role != CodeRole::None && !bracketed) {
      return "code " + label(code) + (role == CodeRole::End ? " ends " : " breaks the line of ") +
             (message ? "a message" : "an entry") + ", so its text must be a name, such as " + hex_token(kind(), code) +
             "; running text never encodes into it";
    }
    slot = TableEntry{std::string(text), bracketed, mark, line_};
    return std::nullopt;
  }

  // A name of upper-case hexadecimal digits as long as the tokens of this
  // table's codes would be read as a code: it may only be that code's own.
  std::optional<std::string> hex_name_problem(std::string_view name, std::uint16_t code) const {
    const std::size_t width = kind() == CodeSet::Message ? 4 : 2;
    if (name.size() != width || name.find_first_not_of("0123456789ABCDEF") != std::string_view::npos)
      return std::nullopt;
    const std::uint32_t value = *hex_value(name, width);
    if (value == code) return std::nullopt;
    const std::string spelled = "[" + std::string(name) + "] is spelled as a hexadecimal token";
    if (value >= code_count(kind())) return spelled + "; give code " + label(code) + " another name";
    return spelled + ", which reads as code " + label(static_cast<std::uint16_t>(value)) + "; give code " +
           label(code) + " another name";
  }

  std::string mark_problem(CodeRole mark, std::uint16_t code) const {
    const bool message = kind() == CodeSet::Message;
    if (mark == CodeRole::End) {
      return "'/' marks an end code, and code " + label(code) + " ends nothing: " +
             (message ? "messages end with 0x0AC or 0x0AE"
                      : "fixed strings end with 0xAC, battle text with 0xAC or 0xAE");
    }
    return "'*' marks a line-break code, and code " + label(code) + " breaks no line: " +
           (message ? "messages break their line after 0x0AD and 0x0AF" : "byte banks have no line-break codes");
  }

  TableReading reading_;
  std::uint32_t line_ = 0;
  bool last_ = false;
};

}  // namespace

TableReading read_translator_table(std::string_view bytes, CodeSet kind) {
  Reader reader(kind);
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  std::uint32_t number = 0;
  while (!bytes.empty()) {
    ++number;
    const std::size_t feed = bytes.find('\n');
    std::string_view line = bytes.substr(0, feed);
    bytes.remove_prefix(feed == std::string_view::npos ? bytes.size() : feed + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!reader.read_line(line, number, feed == std::string_view::npos)) break;
  }
  return reader.take();
}

}  // namespace talvo::tables
