// Applying a BPS patch. Everything that can be judged without the source is
// judged first, in a dry run over the actions, so that a patch cut short is
// told apart from one damaged in the middle; then the source; then the
// target is written and checked. Nothing is handed back before its CRC-32
// has been checked.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "bps.h"
#include "bps_actions.h"
#include "copier_header.h"
#include "crc32.h"

namespace talvo::bps {
namespace {

constexpr std::size_t kFooterSize = 12;
constexpr char kMagic[] = "BPS1";
constexpr std::size_t kMagicSize = 4;

std::string hex(std::uint32_t crc) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(crc));
  return text;
}

std::string number(std::uint64_t value) { return std::to_string(value); }

std::uint32_t read_le32(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

struct Outcome {
  Failure failure = Failure::None;
  std::string message;
};

Outcome fail(Failure failure, std::string message) { return {failure, std::move(message)}; }

// The header, and where the actions lie in the patch.
struct Layout {
  Header header;
  std::size_t actions_start = 0;
  std::span<const std::uint8_t> actions;
};

Outcome read_layout(std::span<const std::uint8_t> patch, Layout& layout) {
  if (patch.empty()) return fail(Failure::NotAPatch, "the patch is empty");
  const std::size_t magic_seen = std::min(patch.size(), kMagicSize);
  if (std::memcmp(patch.data(), kMagic, magic_seen) != 0) {
    return fail(Failure::NotAPatch, "not a BPS patch: it does not start with \"BPS1\"");
  }
  if (patch.size() < kMagicSize + kFooterSize) {
    return fail(Failure::Truncated,
                "the patch is cut short: " + number(patch.size()) + " bytes cannot hold a header and the checksums");
  }
  Header& header = layout.header;
  const std::span<const std::uint8_t> footer = patch.last(kFooterSize);
  header.source_crc = read_le32(footer.subspan(0, 4));
  header.target_crc = read_le32(footer.subspan(4, 4));
  header.patch_crc = read_le32(footer.subspan(8, 4));
  const std::span<const std::uint8_t> body = patch.first(patch.size() - kFooterSize);
  std::size_t at = kMagicSize;
  std::uint64_t metadata_size = 0;
  for (std::uint64_t* field : {&header.source_size, &header.target_size, &metadata_size}) {
    const NumberRead read = read_number(body, at, *field);
    if (read == NumberRead::TooLarge) return fail(Failure::Malformed, "a size in the patch header is too large");
    if (read != NumberRead::Ok) return fail(Failure::Truncated, "the patch is cut short inside its header");
  }
  if (metadata_size > body.size() - at) {
    return fail(Failure::Truncated, "the patch is cut short: its header announces " + number(metadata_size) +
                                        " bytes of metadata, it holds " + number(body.size() - at));
  }
  header.metadata = body.subspan(at, static_cast<std::size_t>(metadata_size));
  at += static_cast<std::size_t>(metadata_size);
  layout.actions_start = at;
  layout.actions = body.subspan(at);
  return {};
}

const char* action_name(ActionKind kind) {
  switch (kind) {
    case ActionKind::SourceRead:
      return "SourceRead";
    case ActionKind::TargetRead:
      return "TargetRead";
    case ActionKind::SourceCopy:
      return "SourceCopy";
    case ActionKind::TargetCopy:
      return "TargetCopy";
  }
  return "action";
}

// Runs the actions. Without `target` it only checks them against the sizes
// in the header: every read inside the source or the target written so far,
// every write inside the target, the target complete at the end. With
// `target` (sized to the target, the source checked) it also writes.
Outcome run_actions(const Layout& layout, std::span<const std::uint8_t> source, std::uint8_t* target) {
  const std::uint64_t source_size = layout.header.source_size;
  const std::uint64_t target_size = layout.header.target_size;
  ActionReader reader(layout.actions);
  std::uint64_t written = 0;
  std::uint64_t source_at = 0;  // the source copy position, never past the source's end
  std::uint64_t target_at = 0;  // the target copy position, never past `written`
  for (;;) {
    const std::size_t action_offset = layout.actions_start + reader.position();
    const auto where = [action_offset] { return " (action at patch byte " + number(action_offset) + ")"; };
    Action action;
    const ActionRead read = reader.next(action);
    if (read == ActionRead::End) break;
    if (read == ActionRead::TooLarge) return fail(Failure::Malformed, "a number in the patch is too large" + where());
    if (read == ActionRead::RunsPastEnd) {
      return fail(Failure::Truncated, "the patch is cut short: an action runs into the checksums" + where());
    }
    const std::uint64_t length = action.length;
    if (length > target_size - written) {
      return fail(Failure::TargetOverrun, std::string(action_name(action.kind)) + " of " + number(length) +
                                              " bytes at target offset " + number(written) +
                                              " writes past the target's " + number(target_size) + " bytes" + where());
    }
    switch (action.kind) {
      case ActionKind::SourceRead:
        if (written > source_size || length > source_size - written) {
          return fail(Failure::SourceReadOutside, "SourceRead of " + number(length) + " bytes at offset " +
                                                      number(written) + " reads past the end of the source of " +
                                                      number(source_size) + " bytes" + where());
        }
        if (target) std::memcpy(target + written, source.data() + written, static_cast<std::size_t>(length));
        break;
      case ActionKind::TargetRead:
        if (target) std::memcpy(target + written, action.bytes.data(), action.bytes.size());
        break;
      case ActionKind::SourceCopy: {
        const bool before_start = action.backwards && action.distance > source_at;
        const bool past_end = !action.backwards && action.distance > source_size - source_at;
        const std::uint64_t from = action.backwards ? source_at - action.distance : source_at + action.distance;
        if (before_start || past_end || length > source_size - from) {
          const std::string position =
              before_start ? "-" + number(action.distance - source_at) : number(source_at + action.distance);
          return fail(Failure::SourceReadOutside, "SourceCopy of " + number(length) + " bytes from source offset " +
                                                      position + " reads outside the source of " + number(source_size) +
                                                      " bytes" + where());
        }
        if (target) std::memcpy(target + written, source.data() + from, static_cast<std::size_t>(length));
        source_at = from + length;
        break;
      }
      case ActionKind::TargetCopy: {
        // The position never passes `written`, but a move back by 0 can
        // leave it there: the copy must start strictly before it.
        const bool before_start = action.backwards && action.distance > target_at;
        const bool not_written =
            action.backwards ? target_at - action.distance >= written : action.distance >= written - target_at;
        const std::uint64_t from = action.backwards ? target_at - action.distance : target_at + action.distance;
        if (before_start || not_written) {
          const std::string position = before_start ? "-" + number(action.distance - target_at) : number(from);
          return fail(Failure::TargetCopyOutside, "TargetCopy from target offset " + position + " reads outside the " +
                                                      number(written) + " bytes written so far" + where());
        }
        if (target) {
          // The range may overlap the bytes being written: the copy then
          // repeats the `written - from` bytes before it, a run. Each pass
          // copies what is already there, doubling the repeated part.
          std::uint64_t done = 0;
          while (done < length) {
            const std::uint64_t count = std::min(length - done, written + done - from);
            std::memcpy(target + written + done, target + from, static_cast<std::size_t>(count));
            done += count;
          }
        }
        target_at = from + length;
        break;
      }
    }
    written += length;
  }
  if (written != target_size) {
    return fail(Failure::TargetSize, "the actions write " + number(written) + " bytes, the patch says the target has " +
                                         number(target_size));
  }
  return {};
}

// The source against the patch's record of it. A source 512 bytes longer
// whose remainder has the recorded CRC-32 is the patch's source with a
// copier header in front; the other way round there is no header to check,
// only the sizes to point at.
Outcome check_source(const Header& header, std::span<const std::uint8_t> source) {
  if (source.size() != header.source_size) {
    std::string message = "the patch was made for a source of " + number(header.source_size) + " bytes, this one has " +
                          number(source.size());
    if (source.size() >= kCopierHeaderSize && source.size() - kCopierHeaderSize == header.source_size) {
      const std::uint32_t without_header = crc32_of(source.subspan(kCopierHeaderSize));
      if (without_header == header.source_crc) {
        return fail(Failure::SourceHasCopierHeader,
                    "the source is the patch's source (CRC-32 " + hex(without_header) +
                        ") with a 512-byte copier header in front: apply the patch to the data without it");
      }
      message += "; without its first 512 bytes its CRC-32 is " + hex(without_header) + ", not the patch's " +
                 hex(header.source_crc) + ", so it is another file";
    } else if (source.size() + kCopierHeaderSize == header.source_size) {
      message += ": perhaps the patch was made for an image with a 512-byte copier header and this one has none";
    }
    return fail(Failure::SourceSize, std::move(message));
  }
  const std::uint32_t crc = crc32_of(source);
  if (crc != header.source_crc) {
    return fail(Failure::SourceChecksum, "the patch was made for another source: its CRC-32 is " + hex(crc) +
                                             ", the patch expects " + hex(header.source_crc));
  }
  return {};
}

}  // namespace

std::string too_large_target(std::uint64_t size) {
  return "a target of " + number(size) + " bytes, more than the " + number(kMaxTargetSize >> 20) +
         " MiB a patch may make here";
}

HeaderResult read_header(std::span<const std::uint8_t> patch) {
  Layout layout;
  Outcome outcome = read_layout(patch, layout);
  return {outcome.failure, std::move(outcome.message), layout.header};
}

ApplyResult apply(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source,
                  const std::function<std::span<std::uint8_t>(std::size_t)>& place) {
  ApplyResult result;
  const auto refuse = [&result](Outcome outcome) {
    result.failure = outcome.failure;
    result.message = std::move(outcome.message);
    return std::move(result);
  };
  Layout layout;
  Outcome outcome = read_layout(patch, layout);
  if (outcome.failure == Failure::NotAPatch) return refuse(std::move(outcome));
  const Header& header = layout.header;
  if (outcome.failure == Failure::None) outcome = run_actions(layout, source, nullptr);

  // A patch that breaks off is cut short, whatever its last 12 bytes say; any
  // other fault under a wrong checksum is damage.
  if (patch.size() >= kMagicSize + kFooterSize) {
    const std::uint32_t crc = crc32_of(patch.first(patch.size() - 4));
    if (crc != header.patch_crc && outcome.failure != Failure::Truncated) {
      if (outcome.failure == Failure::TargetSize) {
        return refuse(fail(Failure::Truncated, "the patch is cut short: " + outcome.message));
      }
      return refuse(fail(Failure::PatchChecksum,
                         "the patch is damaged: its CRC-32 is " + hex(crc) + ", it records " + hex(header.patch_crc)));
    }
    // The checksum holds: the patch is whole as its writer made it, and
    // what looks cut short is a fault of that writer.
    if (crc == header.patch_crc && outcome.failure == Failure::Truncated) {
      const std::string_view cut = "the patch is cut short";
      std::string rest =
          outcome.message.rfind(cut, 0) == 0 ? outcome.message.substr(cut.size()) : ": " + outcome.message;
      return refuse(fail(Failure::Malformed, "the patch is malformed, though its CRC-32 holds" + rest));
    }
  }
  if (outcome.failure != Failure::None) return refuse(std::move(outcome));
  if (header.target_size > kMaxTargetSize) {
    return refuse(fail(Failure::TargetTooLarge, "the patch makes " + too_large_target(header.target_size)));
  }
  if (outcome = check_source(header, source); outcome.failure != Failure::None) return refuse(std::move(outcome));

  const std::span<std::uint8_t> target = place(static_cast<std::size_t>(header.target_size));
  if (outcome = run_actions(layout, source, target.data()); outcome.failure != Failure::None) {
    return refuse(std::move(outcome));
  }
  if (const std::uint32_t crc = crc32_of(target); crc != header.target_crc) {
    return refuse(fail(Failure::TargetChecksum,
                       "the target written has CRC-32 " + hex(crc) + ", the patch expects " + hex(header.target_crc)));
  }
  return result;
}

ApplyResult apply(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source) {
  std::vector<std::uint8_t> target;
  ApplyResult result = apply(patch, source, [&target](std::size_t size) {
    target.resize(size);
    return std::span<std::uint8_t>(target);
  });
  if (result.ok()) result.target = std::move(target);
  return result;
}

}  // namespace talvo::bps
