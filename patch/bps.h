// BPS patches over memory: writing one that turns a source into a target,
// and applying one to a source with every check a reader owes its user.
// A patch is "BPS1", the source, target and metadata sizes, the metadata,
// the actions that write the target front to back, and the CRC-32s of the
// source, the target and the patch. Nothing here knows about the game, files
// or copier headers: callers pass the cartridge data alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace talvo::bps {

// Targets larger than this are refused rather than allocated: a hostile
// size field must not reserve gigabytes. Cartridge images are 8 MiB at most.
inline constexpr std::uint64_t kMaxTargetSize = std::uint64_t{256} << 20;
// The largest patch file read: every patch `create` writes for a target of
// kMaxTargetSize bytes or fewer, which never holds more than the target's
// bytes, its header, footer and metadata, and a few bytes per action.
inline constexpr std::uint64_t kMaxPatchSize = kMaxTargetSize + (std::uint64_t{16} << 20);

// "a target of N bytes, more than the 256 MiB a patch may make here": what
// both sides say of a target beyond kMaxTargetSize.
std::string too_large_target(std::uint64_t size);

enum class Failure {
  None,
  NotAPatch,              // does not start with "BPS1"
  Truncated,              // ends inside its header or its actions: cut short
  Malformed,              // a number too large for 64 bits
  PatchChecksum,          // the patch's own CRC-32 does not match: damaged
  TargetTooLarge,         // the target would exceed kMaxTargetSize
  SourceSize,             // the source is not the size the patch was made for
  SourceHasCopierHeader,  // the source is the patch's source behind a 512-byte copier header
  SourceChecksum,         // the source is another file of the same size
  SourceReadOutside,      // a SourceRead or SourceCopy outside the source
  TargetCopyOutside,      // a TargetCopy from bytes not written yet
  TargetOverrun,          // an action writes past the target's size
  TargetSize,             // the actions end before the target's size
  TargetChecksum,         // the target written does not have the patch's CRC-32
};

// What a patch says about itself, read from its header and footer.
struct Header {
  std::uint64_t source_size = 0;
  std::uint64_t target_size = 0;
  std::span<const std::uint8_t> metadata;  // within the patch
  std::uint32_t source_crc = 0;
  std::uint32_t target_crc = 0;
  std::uint32_t patch_crc = 0;
};

struct HeaderResult {
  Failure failure = Failure::None;
  std::string message;  // one line, English, empty on success
  Header header;
};

struct ApplyResult {
  Failure failure = Failure::None;
  std::string message;               // one line, English, empty on success
  std::vector<std::uint8_t> target;  // empty unless failure is None
  bool ok() const { return failure == Failure::None; }
};

// A patch that turns `source` into `target`, carrying `metadata` (by
// convention UTF-8 XML, or nothing). Unchanged stretches become SourceRead,
// data found elsewhere in the source or earlier in the target SourceCopy and
// TargetCopy, and only bytes found nowhere are stored as they are.
std::vector<std::uint8_t> create(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target,
                                 std::span<const std::uint8_t> metadata = {});

// Reads the header, the metadata and the three CRC-32s, so that a caller can
// show them. Fails on a patch that is not BPS or is cut short in its header;
// checks nothing else (the checksums included): apply does.
HeaderResult read_header(std::span<const std::uint8_t> patch);

// The target that `patch` makes of `source`. Fails, handing back no target,
// on a damaged or cut patch, on a source other than the patch's, on any
// action that reads outside the source or the target written so far or
// writes past the target, and on a target of the wrong size or CRC-32.
ApplyResult apply(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source);

// The same, writing the target where `place` puts it: it is called once, with
// the target's size, after every check that can come before writing, and
// returns memory of that size. The result's `target` stays empty; on a
// failure after `place`, what it gave holds no target.
ApplyResult apply(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source,
                  const std::function<std::span<std::uint8_t>(std::size_t)>& place);

}  // namespace talvo::bps
