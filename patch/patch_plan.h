// The actions a writer has chosen, before they are encoded. Copies keep the
// absolute offset they read from, not the relative one the patch will hold,
// so that two plans can be priced, pieces of one moved into another, and the
// cheaper one written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "bps_actions.h"
#include "bps_number.h"

namespace talvo::bps {

struct PlannedAction {
  ActionKind kind = ActionKind::TargetRead;
  std::uint64_t length = 0;  // at least 1
  std::uint64_t from = 0;    // SourceCopy, TargetCopy: where the copy starts
};

using Plan = std::vector<PlannedAction>;

// The relative offset a copy position moves by, as the patch stores it:
// the distance doubled, plus 1 when it goes backwards.
inline std::uint64_t signed_distance(std::uint64_t from, std::uint64_t to) {
  return to >= from ? (to - from) << 1 : ((from - to) << 1) | 1;
}

// The number that starts an action of `length` bytes.
inline std::uint64_t action_head(ActionKind kind, std::uint64_t length) {
  return (length - 1) << 2 | static_cast<std::uint64_t>(kind);
}

// Appends `action`; a TargetRead right after another becomes part of it,
// since two would pay for two heads.
inline void add_action(Plan& plan, const PlannedAction& action) {
  if (action.kind == ActionKind::TargetRead && !plan.empty() && plan.back().kind == ActionKind::TargetRead) {
    plan.back().length += action.length;
    return;
  }
  plan.push_back(action);
}

// The copy positions a reader keeps while it runs the actions.
struct CopyPositions {
  std::uint64_t source = 0;
  std::uint64_t target = 0;
};

// Bytes `action` takes in the patch when the reader's copy positions are
// `at`, which it then moves past the copy.
inline std::uint64_t encoded_size(const PlannedAction& action, CopyPositions& at) {
  std::uint64_t size = number_size(action_head(action.kind, action.length));
  switch (action.kind) {
    case ActionKind::SourceRead:
      break;
    case ActionKind::TargetRead:
      size += action.length;
      break;
    case ActionKind::SourceCopy:
      size += number_size(signed_distance(at.source, action.from));
      at.source = action.from + action.length;
      break;
    case ActionKind::TargetCopy:
      size += number_size(signed_distance(at.target, action.from));
      at.target = action.from + action.length;
      break;
  }
  return size;
}

// Bytes the whole plan's actions take in the patch.
std::uint64_t encoded_size(const Plan& plan);

// Writes the plan's actions; TargetRead takes its bytes from `target`.
void append_actions(std::vector<std::uint8_t>& out, const Plan& plan, std::span<const std::uint8_t> target);

}  // namespace talvo::bps
