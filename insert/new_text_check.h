// The new text as insertion needs it: the game's entry counts, each entry
// ending with its end code and holding none before it, message codes within
// the table. The callers check this already; insertion does not rely on it.
#pragma once

#include <optional>

#include "insertion.h"

namespace talvo::insert {

// The first fault, banks in the order messages, fixed strings, battle text.
std::optional<Refusal> check_new_text(const NewText& text);

}  // namespace talvo::insert
