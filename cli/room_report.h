// What talvo room tells: the blank runs each bank might be given with
// --room, as text for people or JSON for scripts.
#pragma once

#include <cstdint>
#include <string>

#include "free_space.h"

namespace talvo::cli {

// The runs bank by bank, each as the --room option that gives it, with the
// warnings a translator needs before using one. `cartridge_size` tells how
// far the messages' pointers reach in this image.
std::string free_space_text(const free_space::FreeSpace& space, std::uint64_t cartridge_size);

// {"msg": [{"start": S, "end": E, "bytes": N}, ...], "str": [...], "btl": [...]}
// on one line: ROM offsets as numbers, the end excluded, largest first.
std::string free_space_json(const free_space::FreeSpace& space);

}  // namespace talvo::cli
