// talvo patch create / apply: BPS patches between images, made and applied
// between the cartridge data alone, as the established patchers do: a
// 512-byte copier header is stripped first and put back on the result.
#include <algorithm>

#include "bps.h"
#include "commands.h"
#include "copier_header.h"
#include "platform.h"

namespace talvo::cli {
namespace {

bool read_input(const std::string& path, FileBytes& bytes) {
  std::string reason;
  if (platform::read_whole_file(path, bps::kMaxTargetSize, bytes, reason)) return true;
  say(path + ": " + reason);
  return false;
}

}  // namespace

int run_patch_create(const Options& options) {
  if (!outputs_are_safe({{options.output, "-o"}}, {{options.patch_source, ""}, {options.patch_target, ""}})) {
    return kUsage;
  }
  FileBytes source, target;
  if (!read_input(options.patch_source, source) || !read_input(options.patch_target, target)) return kFailure;
  const std::vector<std::uint8_t> patch =
      bps::create(split_copier_header(source).cartridge, split_copier_header(target).cartridge);
  return write_outputs({{options.output, patch}}, {options.patch_source, options.patch_target}) ? kSuccess : kFailure;
}

int run_patch_apply(const Options& options) {
  if (platform::same_file(options.image, options.output)) {
    say(options.output + ": the patched image may not replace the image it is made from; name another file");
    return kUsage;
  }
  if (!outputs_are_safe({{options.output, "-o"}}, {{options.patch_file, "the patch"}})) return kUsage;
  FileBytes patch, image;
  if (!read_input(options.patch_file, patch) || !read_input(options.image, image)) return kFailure;
  const SplitImage split = split_copier_header(image);
  // The copier header first, then the target written right behind it.
  FileBytes out;
  const bps::ApplyResult result = bps::apply(patch, split.cartridge, [&](std::size_t size) {
    out.resize(split.copier_header.size() + size);
    std::copy(split.copier_header.begin(), split.copier_header.end(), out.begin());
    return std::span(out).subspan(split.copier_header.size());
  });
  if (!result.ok()) {
    say(options.patch_file + ": " + result.message);
    return kFailure;
  }
  return write_outputs({{options.output, out}}, {options.patch_file, options.image}) ? kSuccess : kFailure;
}

}  // namespace talvo::cli
