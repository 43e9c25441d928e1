// The thorough plan of a patch: a shortest path over the target, where each
// step is an action priced in the bytes it takes in the patch. The offsets
// and lengths are variable-length numbers, so a nearer, slightly shorter
// copy can cost less than the longest one, and a copy of 3 bytes can pay
// between two others while it would not inside a stretch of new bytes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "match_index.h"
#include "patch_plan.h"

namespace talvo::bps {

// The stretches of the target worth indexing: what the quick plan stored or
// copied in short pieces, in target order, until `budget` bytes; its long
// SourceReads and copies are left out, since little can be gained there
// that their own continuation does not give.
std::vector<TargetSpan> spans_to_index(const Plan& quick, std::uint64_t budget);

// The cheapest plan found from the quick plan's long copies, the matches of
// `index` within its spans (outside them, what the quick plan stored stays
// as it is), SourceRead, and the continuation of the previous copies.
Plan cheapest_plan(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target, const Plan& quick,
                   const MatchIndex& index, const std::vector<TargetSpan>& spans);

}  // namespace talvo::bps
