// The PO reader: one pass over the lines, a message gathered until the line
// that cannot continue it. Comments belong to the message they stand before,
// or inside, as gettext's own reader attaches them.
#include <cstdint>
#include <optional>
#include <utility>

#include "po_file.h"
#include "utf8.h"

namespace talvo::exchange {
namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_space(text.back())) text.remove_suffix(1);
  return text;
}

// At most `count` bytes of `text` for a message, not cutting a character.
std::string excerpt(std::string_view text, std::size_t count) {
  if (text.size() <= count) return std::string(text);
  while (count > 0 && (static_cast<unsigned char>(text[count]) & 0xC0) == 0x80) --count;
  return std::string(text.substr(0, count)) + "...";
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_word(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Where a text is not UTF-8: the offset of its first bad byte and why.
std::optional<std::pair<std::size_t, Utf8Error>> utf8_fault(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const Utf8Char c = decode_utf8(text.substr(at));
    if (c.error != Utf8Error::None) return std::pair{at, c.error};
    at += c.length;
  }
  return std::nullopt;
}

// The charset the header's Content-Type names, or nothing.
std::optional<std::string_view> header_charset(std::string_view header) {
  constexpr std::string_view kKey = "charset=";
  for (std::size_t at = 0; at + kKey.size() <= header.size(); ++at) {
    if (!same_word(header.substr(at, kKey.size()), kKey)) continue;
    std::size_t end = at + kKey.size();
    while (end < header.size() && !is_space(header[end]) && header[end] != ';' && header[end] != '\n') ++end;
    return header.substr(at + kKey.size(), end - at - kKey.size());
  }
  return std::nullopt;
}

enum class State { Between, Context, Id, Plural, Translation, PluralTranslation };

class PoReader {
 public:
  PoReader(PoFile& file, PoError& error) : file_(file), error_(error) {}

  bool read_line(std::string_view line, std::size_t number) {
    line_ = number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    std::string_view rest = line;
    while (!rest.empty() && is_space(rest.front())) rest.remove_prefix(1);
    if (rest.empty()) return true;
    // A line that does not go on with the msgstr read last ends its message,
    // before the line itself is looked at.
    const bool goes_on = rest.front() == '"' || (state_ == State::PluralTranslation && rest.starts_with("msgstr["));
    if (!goes_on && (state_ == State::Translation || state_ == State::PluralTranslation)) {
      if (!finish_message()) return false;
    }
    if (const auto fault = utf8_fault(line)) {
      return fail("bytes that are not UTF-8 (" + std::string(utf8_error_text(fault->second)) +
                  "): PO files are read as UTF-8; convert it with msgconv --to-code=UTF-8");
    }
    if (rest.front() == '#') return comment(rest);
    if (rest.front() == '"') {
      if (state_ == State::Between) return fail("a string without a keyword before it");
      return strings(rest, *current_);
    }
    return keyword(rest);
  }

  bool finish() {
    if (state_ == State::Context || state_ == State::Id || state_ == State::Plural) {
      return fail_at(message_.line, "the file ends inside the message that begins here: its msgstr is missing");
    }
    if (state_ != State::Between) return finish_message();
    return true;
  }

 private:
  bool fail(std::string message) { return fail_at(line_, std::move(message)); }
  bool fail_at(std::size_t line, std::string message) {
    error_ = {line, std::move(message)};
    return false;
  }

  static void add_line(std::string& lines, std::string_view text) {
    if (!lines.empty()) lines += '\n';
    lines += text;
  }

  static std::string_view after_one_space(std::string_view text) {
    return text.starts_with(' ') ? text.substr(1) : text;
  }

  bool comment(std::string_view text) {
    while (text.ends_with('\r')) text.remove_suffix(1);
    if (text.starts_with("#~")) {
      if (state_ != State::Between) {
        return fail("an obsolete '#~' line inside the message that begins at line " + std::to_string(message_.line));
      }
      pending_ = PoMessage{};  // the comments above it were the obsolete message's
      return true;
    }
    if (text.starts_with("#.")) {
      add_line(pending_.extracted_comments, after_one_space(text.substr(2)));
    } else if (text.starts_with("#:")) {
      add_line(pending_.references, after_one_space(text.substr(2)));
    } else if (text.starts_with("#,")) {
      // Flags are parted by commas or spaces, as gettext reads them.
      std::string_view flags = text.substr(2);
      while (!flags.empty()) {
        const std::size_t comma = flags.find_first_of(", \t");
        const std::string_view flag = trimmed(flags.substr(0, comma));
        if (flag == "fuzzy") {
          pending_.fuzzy = true;
        } else if (!flag.empty()) {
          pending_.flags.emplace_back(flag);
        }
        flags = comma == std::string_view::npos ? std::string_view{} : flags.substr(comma + 1);
      }
    } else if (!text.starts_with("#|")) {  // "#|" holds the previous msgid, which we do not need
      add_line(pending_.comments, after_one_space(text.substr(1)));
    }
    return true;
  }

  bool keyword(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size() && ((text[end] >= 'a' && text[end] <= 'z') || text[end] == '_')) ++end;
    const std::string_view word = text.substr(0, end);
    std::size_t plural_index = 0;
    bool indexed = false;
    if (word == "msgstr" && end < text.size() && text[end] == '[') {
      std::size_t close = end + 1;
      while (close < text.size() && text[close] >= '0' && text[close] <= '9' && close - end < 6) {
        plural_index = plural_index * 10 + static_cast<std::size_t>(text[close] - '0');
        ++close;
      }
      if (close == end + 1 || close >= text.size() || text[close] != ']') {
        return fail("msgstr[ must hold the number of a plural form, such as msgstr[0]");
      }
      indexed = true;
      end = close + 1;
    }
    const std::string_view strings_part = text.substr(end);
    if (word == "msgctxt" || (word == "msgid" && state_ != State::Context)) {
      if (state_ != State::Between) {
        return fail(std::string(word) + " inside the message that begins at line " + std::to_string(message_.line) +
                    ", which has no msgstr yet");
      }
      message_ = PoMessage{};
      message_.line = line_;
      if (word == "msgctxt") {
        message_.context = PoString{};
        return start_string(State::Context, *message_.context, strings_part);
      }
      return start_string(State::Id, message_.id, strings_part);
    }
    if (word == "msgid") return start_string(State::Id, message_.id, strings_part);  // after msgctxt
    if (word == "msgid_plural") {
      if (state_ != State::Id) return fail("msgid_plural without a msgid just before it");
      message_.plural = true;
      return start_string(State::Plural, scratch_, strings_part);
    }
    if (word == "msgstr" && !indexed) {
      if (state_ == State::Plural) return fail("a plural message takes msgstr[0], msgstr[1] and so on, not msgstr");
      if (state_ != State::Id) return fail("msgstr without a msgid before it");
      return start_string(State::Translation, message_.translation, strings_part);
    }
    if (word == "msgstr") {
      const bool next = (state_ == State::Plural && plural_index == 0) ||
                        (state_ == State::PluralTranslation && plural_index == plural_forms_);
      if (!next) return fail("msgstr[" + std::to_string(plural_index) + "] out of place");
      plural_forms_ = plural_index + 1;
      return start_string(State::PluralTranslation, plural_index == 0 ? message_.translation : scratch_, strings_part);
    }
    return fail("'" + excerpt(text.substr(0, text.find_first_of(" \t\"")), 40) +
                "' begins no PO line: each holds msgctxt, msgid or msgstr and a string, a string, or a comment");
  }

  bool start_string(State state, PoString& target, std::string_view text) {
    state_ = state;
    current_ = &target;
    target.line = line_;
    scratch_.text.clear();
    scratch_.pieces.clear();
    while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
    if (text.empty() || text.front() != '"') return fail("a quoted string must follow the keyword");
    return strings(text, target);
  }

  // One or more quoted strings, and nothing else, to the end of the line.
  bool strings(std::string_view text, PoString& target) {
    while (!text.empty()) {
      if (text.front() != '"') {
        return fail("text after the string: '" + excerpt(text, 20) + "'; a quote inside a string is written \\\"");
      }
      target.pieces.push_back({target.text.size(), line_});
      std::size_t at = 1;
      for (;;) {
        if (at >= text.size()) {
          return fail("the string is not closed: a quote is missing at the end of the line");
        }
        const char c = text[at];
        if (c == '"') break;
        if (c != '\\') {
          target.text += c;
          ++at;
          continue;
        }
        if (at + 1 >= text.size()) return fail("the string is not closed: it ends in a backslash");
        if (!escape(text, at, target.text)) return false;
      }
      text.remove_prefix(at + 1);
      while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
    }
    return true;
  }

  // The escape at text[at] (a backslash), appended to `out`; `at` moves past it.
  bool escape(std::string_view text, std::size_t& at, std::string& out) {
    const char c = text[at + 1];
    at += 2;
    switch (c) {
      case 'n':
        out += '\n';
        return true;
      case 't':
        out += '\t';
        return true;
      case 'r':
        out += '\r';
        return true;
      case 'a':
        out += '\a';
        return true;
      case 'b':
        out += '\b';
        return true;
      case 'f':
        out += '\f';
        return true;
      case 'v':
        out += '\v';
        return true;
      case '\\':
      case '"':
      case '\'':
      case '?':
        out += c;
        return true;
      default:
        break;
    }
    unsigned value = 0;
    if (c >= '0' && c <= '7') {
      value = static_cast<unsigned>(c - '0');
      for (int digits = 1; digits < 3 && at < text.size() && text[at] >= '0' && text[at] <= '7'; ++digits) {
        value = value * 8 + static_cast<unsigned>(text[at++] - '0');
      }
      if (value > 0xFF) return fail("the octal escape goes beyond \\377, the largest byte");
    } else if (c == 'x') {
      const std::size_t first = at;
      for (; at < text.size(); ++at) {
        const char d = lower(text[at]);
        const int digit = d >= '0' && d <= '9' ? d - '0' : d >= 'a' && d <= 'f' ? d - 'a' + 10 : -1;
        if (digit < 0) break;
        value = value * 16 + static_cast<unsigned>(digit);
        if (value > 0xFF) return fail("the escape \\x goes beyond \\xFF, the largest byte");
      }
      if (at == first) return fail("\\x must be followed by hexadecimal digits");
    } else {
      return fail(std::string("'\\") + c + "' is not an escape: a backslash is written \\\\");
    }
    out += static_cast<char>(value);
    return true;
  }

  bool valid_utf8(const PoString& string) {
    const auto fault = utf8_fault(string.text);
    if (!fault) return true;
    return fail_at(line_of(string.pieces, fault->first), "the string's escapes make bytes that are not UTF-8 (" +
                                                             std::string(utf8_error_text(fault->second)) + ")");
  }

  bool finish_message() {
    state_ = State::Between;
    PoMessage message = std::move(message_);
    message.fuzzy = pending_.fuzzy;
    message.flags = std::move(pending_.flags);
    message.comments = std::move(pending_.comments);
    message.extracted_comments = std::move(pending_.extracted_comments);
    message.references = std::move(pending_.references);
    pending_ = PoMessage{};
    if ((message.context && !valid_utf8(*message.context)) || !valid_utf8(message.id) ||
        !valid_utf8(message.translation)) {
      return false;
    }
    if (message.context || !message.id.text.empty()) {
      file_.messages.push_back(std::move(message));
      return true;
    }
    if (file_.header) {
      return fail_at(message.line, "a second header entry (an empty msgid without msgctxt); the first is at line " +
                                       std::to_string(file_.header->line));
    }
    const auto charset = header_charset(message.translation.text);
    if (charset && !same_word(*charset, "UTF-8") && !same_word(*charset, "UTF8") && *charset != "CHARSET") {
      return fail_at(message.line, "the header declares the charset " + std::string(*charset) +
                                       ": PO files are read as UTF-8; convert it with msgconv --to-code=UTF-8");
    }
    file_.header = std::move(message);
    return true;
  }

  PoFile& file_;
  PoError& error_;
  State state_ = State::Between;
  std::size_t line_ = 0;
  PoMessage message_;            // the message being read
  PoMessage pending_;            // comments and flags read for the next message
  PoString* current_ = nullptr;  // the string that quoted pieces continue
  PoString scratch_;             // msgid_plural and msgstr[N > 0], read and dropped
  std::size_t plural_forms_ = 0;
};

}  // namespace

bool read_po(std::string_view bytes, PoFile& file, PoError& error) {
  file = PoFile{};
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  PoReader reader(file, error);
  std::size_t number = 1;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    if (!reader.read_line(bytes.substr(0, end), number)) return false;
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
    ++number;
  }
  return reader.finish();
}

}  // namespace talvo::exchange
