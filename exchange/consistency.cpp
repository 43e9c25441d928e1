#include "consistency.h"

#include <algorithm>
#include <unordered_map>

namespace talvo::exchange {

std::string without_line_feeds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c != '\n' && c != '\r') out += c;
  }
  return out;
}

Inconsistencies find_inconsistencies(const std::vector<std::string_view>& originals,
                                     const std::vector<std::optional<std::string_view>>& translations,
                                     const std::vector<GlossaryTerm>& glossary) {
  Inconsistencies found;
  struct FirstTranslation {
    std::size_t entry;
    std::string text;
  };
  std::unordered_map<std::string, FirstTranslation> first_of_original;
  const std::size_t count = std::min(originals.size(), translations.size());
  for (std::size_t i = 0; i < count; ++i) {
    if (!translations[i]) continue;
    std::string original = without_line_feeds(originals[i]);
    std::string translation = without_line_feeds(*translations[i]);
    if (original == translation) continue;
    for (std::size_t t = 0; t < glossary.size(); ++t) {
      if (original.find(glossary[t].source) != std::string::npos &&
          translation.find(glossary[t].target) == std::string::npos) {
        found.missing.push_back({i, t});
      }
    }
    const auto [first, added] = first_of_original.try_emplace(std::move(original), FirstTranslation{i, translation});
    if (!added && first->second.text != translation) found.different.push_back({i, first->second.entry});
  }
  return found;
}

}  // namespace talvo::exchange
