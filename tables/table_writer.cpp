#include "table_writer.h"

namespace talvo::tables {

std::string table_line(CodeSet kind, const NewEntry& entry) {
  const std::string token = hex_token(kind, entry.code);
  return token.substr(1, token.size() - 2) + "=" + entry.text;
}

std::string append_entries(std::string_view base, CodeSet kind, const std::vector<std::string>& comment,
                           const std::vector<NewEntry>& entries) {
  // A table saved with CR LF gets its new lines so too.
  const std::string_view end = base.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  std::string out(base);
  if (!out.empty() && out.back() != '\n') out += end;
  for (const std::string& line : comment) out += "# " + line + std::string(end);
  for (const NewEntry& entry : entries) out += table_line(kind, entry) + std::string(end);
  return out;
}

}  // namespace talvo::tables
