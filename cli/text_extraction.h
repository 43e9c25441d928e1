// The image's three texts as the extractor writes them, or as UTF-8
// working copies: what extract writes, and what init puts in a project.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "buffered_output.h"
#include "text_format.h"
#include "vocabulary.h"

namespace talvo::cli {

// The extractor's file names, in the order the banks are decoded.
inline constexpr std::array<const char*, 3> kTextFileNames{
    text_format::kMessageFileName, text_format::kFixedStringFileName, text_format::kBattleTextFileName};

struct ExtractedTexts {
  std::array<std::string_view, 3> texts;  // each as it is to be written; the first `count` hold text
  std::size_t count = 0;                  // the banks decoded, in order, before a broken one
  std::string broken;                     // why the pass stopped there ("battle text: stopped at entry ..."); "" if not

  // What the views show.
  std::array<BufferedOutput, 3> decoded;
};

// Decodes the banks in the extractor's order until one is broken, which
// `broken` then describes, each written through its vocabulary (the game's
// tables or a translator's, in the files' encoding). False after saying why
// nothing can be written at all: the message tree cannot be used.
bool extract_texts(const std::string& image_path, std::span<const std::uint8_t> cartridge,
                   const Vocabularies& vocabularies, ExtractedTexts& out);

}  // namespace talvo::cli
