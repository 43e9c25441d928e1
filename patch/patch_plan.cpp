#include "patch_plan.h"

namespace talvo::bps {

std::uint64_t encoded_size(const Plan& plan) {
  CopyPositions at;
  std::uint64_t size = 0;
  for (const PlannedAction& action : plan) size += encoded_size(action, at);
  return size;
}

void append_actions(std::vector<std::uint8_t>& out, const Plan& plan, std::span<const std::uint8_t> target) {
  CopyPositions at;
  std::uint64_t written = 0;  // target bytes the actions so far make
  for (const PlannedAction& action : plan) {
    append_number(out, action_head(action.kind, action.length));
    switch (action.kind) {
      case ActionKind::SourceRead:
        break;
      case ActionKind::TargetRead: {
        const auto begin = target.begin() + static_cast<std::ptrdiff_t>(written);
        out.insert(out.end(), begin, begin + static_cast<std::ptrdiff_t>(action.length));
        break;
      }
      case ActionKind::SourceCopy:
        append_number(out, signed_distance(at.source, action.from));
        at.source = action.from + action.length;
        break;
      case ActionKind::TargetCopy:
        append_number(out, signed_distance(at.target, action.from));
        at.target = action.from + action.length;
        break;
    }
    written += action.length;
  }
}

}  // namespace talvo::bps
