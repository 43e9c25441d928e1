#include "csv_file.h"

namespace talvo::exchange {

std::string write_csv(const std::vector<std::vector<std::string>>& rows) {
  std::string out = "\xEF\xBB\xBF";
  for (const std::vector<std::string>& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) out += ',';
      const std::string& cell = row[i];
      if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        out += cell;
        continue;
      }
      out += '"';
      for (const char c : cell) {
        if (c == '"') out += '"';
        out += c;
      }
      out += '"';
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace talvo::exchange
