// The action stream of a BPS patch, read one action at a time. Shared by the
// reader, which runs the actions, and by tests and tools that look at what a
// writer chose.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "bps_number.h"

namespace talvo::bps {

enum class ActionKind : std::uint8_t { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };

struct Action {
  ActionKind kind = ActionKind::SourceRead;
  std::uint64_t length = 0;             // at least 1
  std::uint64_t distance = 0;           // SourceCopy, TargetCopy: how far the copy position moves
  bool backwards = false;               // and whether it moves towards the start
  std::span<const std::uint8_t> bytes;  // TargetRead: the literal bytes, within the patch
};

enum class ActionRead { Ok, End, RunsPastEnd, TooLarge };

// Walks the actions in `stream`: the patch between its metadata and its
// 12-byte footer.
class ActionReader {
 public:
  explicit ActionReader(std::span<const std::uint8_t> stream) : stream_(stream) {}

  // Reads the next action; End once the stream is used up exactly.
  ActionRead next(Action& action) {
    if (position_ == stream_.size()) return ActionRead::End;
    std::uint64_t head = 0;
    if (const NumberRead read = read_number(stream_, position_, head); read != NumberRead::Ok) return failed(read);
    action.kind = static_cast<ActionKind>(head & 3);
    action.length = (head >> 2) + 1;
    action.bytes = {};
    if (action.kind == ActionKind::TargetRead) {
      if (action.length > stream_.size() - position_) return ActionRead::RunsPastEnd;
      action.bytes = stream_.subspan(position_, static_cast<std::size_t>(action.length));
      position_ += static_cast<std::size_t>(action.length);
    } else if (action.kind != ActionKind::SourceRead) {
      std::uint64_t offset = 0;
      if (const NumberRead read = read_number(stream_, position_, offset); read != NumberRead::Ok) return failed(read);
      action.backwards = (offset & 1) != 0;
      action.distance = offset >> 1;
    }
    return ActionRead::Ok;
  }

  // Where in the stream the next action starts.
  std::size_t position() const { return position_; }

 private:
  static ActionRead failed(NumberRead read) {
    return read == NumberRead::TooLarge ? ActionRead::TooLarge : ActionRead::RunsPastEnd;
  }

  std::span<const std::uint8_t> stream_;
  std::size_t position_ = 0;
};

}  // namespace talvo::bps
