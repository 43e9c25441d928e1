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

// Images as large as a patch's target may be, with a copier header.
constexpr std::uint64_t kLargestImageFile = bps::kMaxTargetSize + kCopierHeaderSize;

bool read_input(const std::string& path, FileBytes& bytes, std::uint64_t limit) {
  std::string reason;
  if (platform::read_whole_file(path, limit, bytes, reason)) return true;
  say(path + ": " + reason);
  return false;
}

}  // namespace

int run_patch_create(const Options& options) {
  if (!outputs_are_safe({{options.output, "-o"}}, {{options.patch_source, ""}, {options.patch_target, ""}})) {
    return kUsage;
  }
  FileBytes source, target;
  if (!read_input(options.patch_source, source, kLargestImageFile) ||
      !read_input(options.patch_target, target, kLargestImageFile)) {
    return kFailure;
  }
  const std::span<const std::uint8_t> made = split_copier_header(target).cartridge;
  // What apply would refuse is not written: one limit on both sides.
  if (made.size() > bps::kMaxTargetSize) {
    say(options.patch_target + ": " + bps::too_large_target(made.size()));
    return kFailure;
  }
  const std::vector<std::uint8_t> patch = bps::create(split_copier_header(source).cartridge, made);
  return write_outputs({{options.output, patch}}, {options.patch_source, options.patch_target}) ? kSuccess : kFailure;
}

int run_patch_apply(const Options& options) {
  if (platform::same_file(options.image, options.output)) {
    say(options.output + ": the patched image may not replace the image it is made from; name another file");
    return kUsage;
  }
  if (!outputs_are_safe({{options.output, "-o"}}, {{options.patch_file, "the patch"}})) return kUsage;
  FileBytes patch, image;
  if (!read_input(options.patch_file, patch, bps::kMaxPatchSize) ||
      !read_input(options.image, image, kLargestImageFile)) {
    return kFailure;
  }
  const SplitImage split = split_copier_header(image);
  // Some patchers make patches between whole files, copier header and all:
  // such a patch records the whole file's size, and is applied to it whole.
  const bps::HeaderResult about = bps::read_header(patch);
  const bool whole_file =
      !split.copier_header.empty() && about.failure == bps::Failure::None && about.header.source_size == image.size();
  const std::span<const std::uint8_t> header = whole_file ? std::span<const std::uint8_t>() : split.copier_header;
  const std::span<const std::uint8_t> source = whole_file ? std::span<const std::uint8_t>(image) : split.cartridge;
  // The copier header first, then the target written right behind it.
  FileBytes out;
  const bps::ApplyResult result = bps::apply(patch, source, [&](std::size_t size) {
    out.resize(header.size() + size);
    std::copy(header.begin(), header.end(), out.begin());
    return std::span(out).subspan(header.size());
  });
  if (!result.ok()) {
    say(options.patch_file + ": " + result.message +
        (whole_file && result.failure == bps::Failure::SourceChecksum
             ? " (the patch is for a whole file, and this image's whole file, copier header included, is not it)"
             : ""));
    return kFailure;
  }
  return write_outputs({{options.output, out}}, {options.patch_file, options.image}) ? kSuccess : kFailure;
}

}  // namespace talvo::cli
