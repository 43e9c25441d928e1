// talvo patch create / apply: BPS patches between images, made and applied
// between the cartridge data alone, as the established patchers do: a
// 512-byte copier header is stripped first and put back on the result.
#include "bps.h"
#include "commands.h"
#include "copier_header.h"
#include "platform.h"

namespace talvo::cli {
namespace {

bool read_input(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::string reason;
  if (platform::read_whole_file(path, bps::kMaxTargetSize, bytes, reason)) return true;
  say(path + ": " + reason);
  return false;
}

}  // namespace

int run_patch_create(const Options& options) {
  std::vector<std::uint8_t> source, target;
  if (!read_input(options.patch_source, source) || !read_input(options.patch_target, target)) return kFailure;
  const std::vector<std::uint8_t> patch =
      bps::create(split_copier_header(source).cartridge, split_copier_header(target).cartridge);
  return write_outputs({{options.output, patch}}) ? kSuccess : kFailure;
}

int run_patch_apply(const Options& options) {
  if (platform::same_file(options.image, options.output)) {
    say(options.output + ": the patched image may not replace the image it is made from; name another file");
    return kUsage;
  }
  std::vector<std::uint8_t> patch, image;
  if (!read_input(options.patch_file, patch) || !read_input(options.image, image)) return kFailure;
  const SplitImage split = split_copier_header(image);
  bps::ApplyResult result = bps::apply(patch, split.cartridge);
  if (!result.ok()) {
    say(options.patch_file + ": " + result.message);
    return kFailure;
  }
  std::vector<std::uint8_t> out(split.copier_header.begin(), split.copier_header.end());
  out.insert(out.end(), result.target.begin(), result.target.end());
  return write_outputs({{options.output, out}}) ? kSuccess : kFailure;
}

}  // namespace talvo::cli
