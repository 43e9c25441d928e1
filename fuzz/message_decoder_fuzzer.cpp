// The message decoder over edited images: the tree, the access table, the bit
// stream or the image length changed by the fuzz input. Its text must have
// the shape every extraction has, and equal a plain bit-by-bit walk's.
//
// Input: one byte picks the good image, the rest are edits (cartridge_edits.h).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "cartridge_edits.h"
#include "fuzz_check.h"
#include "fuzz_regions.h"
#include "image_builder.h"
#include "message_decoder.h"
#include "reference_message_walk.h"
#include "text_format.h"
#include "vocabulary.h"

namespace {

using namespace talvo;

struct GoodImage {
  fuzz::CartridgeEditor editor;
  std::string expected_text;
};

// Built once per process: the builder's images take a while to make.
GoodImage& good_image(unsigned which) {
  static std::unique_ptr<GoodImage> images[3];
  if (!images[which]) {
    builder::ImageContent content;
    std::vector<std::uint8_t> image;
    if (which == 0) {
      // Short messages make a quick walk, so the fuzzer tries many more edits.
      content = builder::random_content(1);
      for (auto& message : content.messages) {
        if (message.size() > 3) message.erase(message.begin() + 2, message.end() - 1);
      }
      image = builder::build_image(content, builder::ImageSize::Plain4Mb, 1);
    } else if (which == 1) {
      content = builder::sample_content();
      image = builder::build_image(content, builder::ImageSize::Plain4Mb);
    } else {
      content = builder::every_code_content(0);
      image = builder::build_image(content, builder::ImageSize::Plain6Mb, 2);
    }
    images[which] = std::make_unique<GoodImage>(
        GoodImage{fuzz::CartridgeEditor(std::move(image)), builder::expected_message_text(content)});
  }
  return *images[which];
}

std::size_t count_end_codes(std::string_view body) {
  std::size_t count = 0;
  for (std::string_view end : {"[00AC]\n", "[00AE]\n"}) {
    for (std::size_t at = body.find(end); at != std::string_view::npos; at = body.find(end, at + 1)) ++count;
  }
  return count;
}

bool ends_with_its_only_end_code(std::string_view body) {
  return count_end_codes(body) == 1 && (body.ends_with("[00AC]\n") || body.ends_with("[00AE]\n"));
}

// Every message that the text holds whole ends at its one end code; the text
// of a failed walk stops in the message it was reading, before its end code.
void check_text(std::string_view text, MessageFailure failure, std::size_t cartridge_size) {
  char header[16];
  const std::string_view first = text_format::format_header(text_format::kFirstMessageHeaderFormat, 0, header);
  FUZZ_CHECK(text.starts_with(first));
  std::size_t body_start = first.size();
  std::uint32_t n = 0;
  for (;; ++n) {
    const std::string_view next = text_format::format_header(text_format::kMessageHeaderFormat, n + 1, header);
    const std::size_t at = text.find(next, body_start);
    if (at == std::string_view::npos) break;
    FUZZ_CHECK(ends_with_its_only_end_code(text.substr(body_start, at - body_start)));
    body_start = at + next.size();
  }
  const std::string_view last = text.substr(body_start);
  FUZZ_CHECK(n < rom::kMessageCount);
  FUZZ_CHECK(failure != MessageFailure::WriteFailed);  // no file: nothing to fail
  if (failure == MessageFailure::None) {
    FUZZ_CHECK(n == rom::kMessageCount - 1);
    FUZZ_CHECK(ends_with_its_only_end_code(last));
  } else {
    FUZZ_CHECK(count_end_codes(last) == 0);
  }
  if (failure == MessageFailure::AccessTableRead) {
    // Only a short image hides a group pointer; the failure comes at once.
    FUZZ_CHECK(n % rom::kMessageGroup == 0 && last.empty());
    FUZZ_CHECK(cartridge_size < rom::kMessageAccessTable + rom::kPointerSize * (n / rom::kMessageGroup + 1));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input(std::span(data, size));
  GoodImage& image = good_image(input.byte() % 3);
  const std::span<const std::uint8_t> cartridge = image.editor.apply(input, fuzz::kMessageRegions);

  const auto tree = std::make_unique<MessageTree>();
  const TreeLoad load = load_message_tree(cartridge, *tree);
  FUZZ_CHECK((load == TreeLoad::ReadFailed) == (cartridge.size() < rom::kMessageTree + 2 * rom::kTreeEntries));
  if (load != TreeLoad::Ok) {
    FUZZ_CHECK(image.editor.edit_count() > 0);
    return 0;
  }
  BufferedOutput out;
  const MessageFailure failure = decode_message_text(cartridge, *tree, game_vocabulary(CodeSet::Message), out);
  check_text(out.text(), failure, cartridge.size());
  std::string reference;
  FUZZ_CHECK(fuzz::reference_message_walk(cartridge, reference) == failure);
  FUZZ_CHECK(out.text() == reference);
  if (image.editor.edit_count() == 0) FUZZ_CHECK(failure == MessageFailure::None && out.text() == image.expected_text);
  return 0;
}
