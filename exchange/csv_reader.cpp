#include <algorithm>
#include <cstring>
#include <optional>

#include "csv_file.h"
#include "utf8.h"

namespace talvo::exchange {
namespace {

// The offset of the first byte that is not UTF-8, or nothing.
std::optional<std::size_t> first_non_utf8(std::string_view text, Utf8Error& why) {
  for (std::size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const Utf8Char c = decode_utf8(text.substr(at));
    if (c.error != Utf8Error::None) {
      why = c.error;
      return at;
    }
    at += c.length;
  }
  return std::nullopt;
}

class CsvReader {
 public:
  CsvReader(std::string_view bytes, CsvError& error) : text_(bytes), error_(error) {}

  bool read(std::vector<CsvRow>& rows) {
    while (at_ < text_.size()) {
      CsvRow row;
      row.line = line_;
      for (;;) {
        std::string cell;
        if (!(text_[at_] == '"' ? quoted_cell(cell) : plain_cell(cell))) return false;
        row.cells.push_back(std::move(cell));
        if (at_ < text_.size() && text_[at_] == ',') {
          ++at_;
          if (at_ == text_.size()) row.cells.emplace_back();  // "a," at the very end: an empty last cell
          if (at_ < text_.size()) continue;
        }
        break;
      }
      // The row ends at the end of the text or at its line end.
      if (at_ < text_.size()) {
        if (text_[at_] == '\r') ++at_;
        ++at_;
        ++line_;
      }
      rows.push_back(std::move(row));
    }
    return true;
  }

 private:
  bool fail(std::size_t line, std::string message) {
    error_ = {line, std::move(message)};
    return false;
  }

  // Up to the comma or line end after it.
  bool plain_cell(std::string& cell) {
    const std::size_t start = at_;
    for (; at_ < text_.size(); ++at_) {
      const char c = text_[at_];
      if (c == ',' || c == '\n') break;
      if (c == '\r') {
        if (at_ + 1 < text_.size() && text_[at_ + 1] == '\n') break;
        return fail(line_,
                    "a carriage return without its line feed outside quotes: rows end with a line feed or CR LF");
      }
      if (c == '"') {
        return fail(line_,
                    "a quote inside a cell that does not begin with one: such a cell is put in quotes and "
                    "each quote in it doubled");
      }
    }
    cell.assign(text_.substr(start, at_ - start));
    return true;
  }

  bool quoted_cell(std::string& cell) {
    const std::size_t opened = line_;
    ++at_;
    for (;;) {
      const std::size_t quote = text_.find('"', at_);
      if (quote == std::string_view::npos) {
        return fail(opened, "the quoted cell that begins here is never closed: a quote is missing");
      }
      const std::string_view piece = text_.substr(at_, quote - at_);
      line_ += static_cast<std::size_t>(std::count(piece.begin(), piece.end(), '\n'));
      cell += piece;
      at_ = quote + 1;
      if (at_ < text_.size() && text_[at_] == '"') {  // a doubled quote is one quote of the cell
        cell += '"';
        ++at_;
        continue;
      }
      break;
    }
    if (at_ == text_.size() || text_[at_] == ',' || text_[at_] == '\n' ||
        (text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n')) {
      return true;
    }
    return fail(line_, "text after the closing quote of a cell: a quote inside a quoted cell is doubled");
  }

  std::string_view text_;
  CsvError& error_;
  std::size_t at_ = 0;
  std::size_t line_ = 1;
};

}  // namespace

bool read_csv(std::string_view bytes, std::vector<CsvRow>& rows, CsvError& error) {
  rows.clear();
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  Utf8Error why = Utf8Error::None;
  if (const auto bad = first_non_utf8(bytes, why)) {
    const auto before = bytes.substr(0, *bad);
    error = {1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')),
             "bytes that are not UTF-8 (" + std::string(utf8_error_text(why)) +
                 "): save the sheet as CSV in UTF-8 (\"CSV UTF-8\" or the character set Unicode UTF-8)"};
    return false;
  }
  return CsvReader(bytes, error).read(rows);
}

}  // namespace talvo::exchange
