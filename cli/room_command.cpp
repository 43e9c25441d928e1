// talvo room: where a translator might find more room for a bank's text.
#include <cstdio>

#include "commands.h"
#include "free_space.h"
#include "image_file.h"
#include "insert_report.h"
#include "room_report.h"

namespace talvo::cli {

int run_room(const Options& options) {
  ImageFile image;
  if (!read_image(options.image, image)) return kFailure;
  const auto found = free_space::find_free_space(image.cartridge());
  if (const auto* broken = std::get_if<insert::BrokenOriginal>(&found)) {
    say(options.image + ": " + describe_refusal(*broken));
    return kFailure;
  }
  const auto& space = std::get<free_space::FreeSpace>(found);
  const std::string report =
      options.report == ReportFormat::Json ? free_space_json(space) : free_space_text(space, image.cartridge().size());
  std::fputs(report.c_str(), stdout);
  return std::fflush(stdout) == 0 ? kSuccess : kFailure;
}

}  // namespace talvo::cli
