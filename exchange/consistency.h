// What only a tool that knows the original can see in a translation: one
// original translated two ways, a glossary term left out. Entries count as
// translated where their text differs from the original; texts are
// compared, and terms looked for, with their line feeds aside, since those
// carry nothing in the game.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "glossary.h"

namespace talvo::exchange {

std::string without_line_feeds(std::string_view text);

// A translated entry whose original an earlier translated entry shares, but
// not its translation: `first` is the first translated entry with that
// original.
struct DifferentTranslation {
  std::size_t entry = 0;
  std::size_t first = 0;
};

// A translated entry whose original holds a term's source but whose
// translation lacks its target.
struct MissingTerm {
  std::size_t entry = 0;
  std::size_t term = 0;  // in the glossary
};

struct Inconsistencies {
  std::vector<DifferentTranslation> different;  // in the order of the entries
  std::vector<MissingTerm> missing;             // by entry, then by the glossary's order
};

// `translations` has one text for every original, or nothing for an entry
// that could not be read and is passed over.
Inconsistencies find_inconsistencies(const std::vector<std::string_view>& originals,
                                     const std::vector<std::optional<std::string_view>>& translations,
                                     const std::vector<GlossaryTerm>& glossary);

}  // namespace talvo::exchange
