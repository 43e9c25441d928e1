#include "image_file.h"

#include "commands.h"
#include "platform.h"

namespace talvo::cli {

bool read_image(const std::string& path, ImageFile& image, std::string& problem) {
  std::string reason;
  // Larger than any accepted size, so that a wrong size is named as such.
  constexpr std::uint64_t kLargest = std::uint64_t{64} << 20;
  if (!platform::read_whole_file(path, kLargest, image.bytes, reason)) {
    problem = path + ": " + reason;
    return false;
  }
  const auto header_offset = rom::header_offset_for_size(image.bytes.size());
  if (!header_offset) {
    problem = path + ": not a Talvo (SFC) image: " + std::to_string(image.bytes.size()) +
              " bytes, where an image holds 4194304 or 6291456 bytes, or 4194816 with a copier header";
    return false;
  }
  image.header_offset = *header_offset;
  return true;
}

bool read_image(const std::string& path, ImageFile& image) {
  std::string problem;
  if (read_image(path, image, problem)) return true;
  say(problem);
  return false;
}

}  // namespace talvo::cli
