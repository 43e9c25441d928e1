// The name of each page's picture: BANK-NNNN-P.png, the bank as the command
// line spells it (msg, str, btl), the entry in four upper-case hexadecimal
// digits, the page from 1.
#pragma once

#include <cstdio>
#include <string>

namespace talvo::preview {

inline std::string page_file_name(const char* bank, std::size_t entry, std::size_t page) {
  char name[64];
  std::snprintf(name, sizeof name, "%s-%04zX-%zu.png", bank, entry, page);
  return name;
}

}  // namespace talvo::preview
