#include "huffman_code.h"

#include <algorithm>
#include <cassert>
#include <deque>

namespace talvo::insert {
namespace {

struct Node {
  std::uint64_t weight = 0;
  std::uint32_t child[2] = {0, 0};  // inner nodes only
  std::uint16_t code = 0;           // leaves only
  bool leaf = true;
};

std::uint16_t branch_value(const Node& child, std::uint16_t number) {
  return child.leaf ? child.code : static_cast<std::uint16_t>(rom::kTreeBranchFlag | number << 1);
}

}  // namespace

HuffmanCode build_huffman_code(const CodeCounts& counts) {
  HuffmanCode result;
  std::vector<Node> nodes;
  for (std::size_t code = 0; code < counts.size(); ++code) {
    if (counts[code] != 0) nodes.push_back({counts[code], {0, 0}, static_cast<std::uint16_t>(code), true});
  }
  result.distinct = nodes.size();
  assert(!nodes.empty() && nodes.size() <= kMaxDistinctCodes);

  if (nodes.size() == 1) {
    const std::uint16_t code = nodes[0].code;
    result.entries = {{rom::kTreeRoot, code}, {static_cast<std::uint16_t>(rom::kTreeRoot + rom::kTreeNodes), code}};
    result.lengths[code] = 1;
    result.codewords[code] = {0, 1};
    result.has_codewords = true;
    return result;
  }

  // Two queues: the leaves sorted by weight, and the joined trees, which are
  // made in order of weight and so stay sorted themselves.
  std::stable_sort(nodes.begin(), nodes.end(), [](const Node& a, const Node& b) { return a.weight < b.weight; });
  const std::size_t leaves = nodes.size();
  std::size_t next_leaf = 0, next_joined = leaves;
  const auto take = [&]() -> std::uint32_t {
    const bool leaf_first =
        next_joined == nodes.size() || (next_leaf < leaves && nodes[next_leaf].weight <= nodes[next_joined].weight);
    return static_cast<std::uint32_t>(leaf_first ? next_leaf++ : next_joined++);
  };
  nodes.reserve(2 * leaves - 1);
  while (nodes.size() < 2 * leaves - 1) {
    const std::uint32_t zero = take();
    const std::uint32_t one = take();
    nodes.push_back({nodes[zero].weight + nodes[one].weight, {zero, one}, 0, false});
  }

  // Number the inner nodes breadth-first from the root, and find each code's
  // codeword on the way down.
  const auto root = static_cast<std::uint32_t>(nodes.size() - 1);
  std::vector<std::uint16_t> number(nodes.size(), 0);
  std::vector<std::uint32_t> depth(nodes.size(), 0);
  std::vector<std::uint64_t> path(nodes.size(), 0);
  std::deque<std::uint32_t> pending{root};
  number[root] = rom::kTreeRoot;
  std::uint16_t next_number = 0;
  result.has_codewords = true;
  result.entries.reserve(2 * (leaves - 1));
  while (!pending.empty()) {
    const std::uint32_t at = pending.front();
    pending.pop_front();
    for (std::uint32_t bit = 0; bit < 2; ++bit) {
      const std::uint32_t child = nodes[at].child[bit];
      depth[child] = depth[at] + 1;
      path[child] = path[at] << 1 | bit;
      if (nodes[child].leaf) {
        const std::uint16_t code = nodes[child].code;
        result.lengths[code] = depth[child];
        if (depth[child] > 64) result.has_codewords = false;
        result.codewords[code] = {path[child], depth[child]};
      } else {
        number[child] = next_number++;
        pending.push_back(child);
      }
      result.entries.emplace_back(static_cast<std::uint16_t>(number[at] + bit * rom::kTreeNodes),
                                  branch_value(nodes[child], number[child]));
    }
  }
  return result;
}

CodeCounts count_codes(const std::vector<std::vector<std::uint16_t>>& messages) {
  CodeCounts counts{};
  for (const auto& message : messages) {
    for (std::uint16_t code : message) {
      if (code < counts.size()) ++counts[code];
    }
  }
  return counts;
}

TooManyCodes too_many_codes(const std::vector<std::vector<std::uint16_t>>& messages, const CodeCounts& counts) {
  const auto distinct =
      static_cast<std::size_t>(std::count_if(counts.begin(), counts.end(), [](std::uint64_t c) { return c != 0; }));
  if (distinct <= kMaxDistinctCodes) return {distinct, kMaxDistinctCodes, {}};
  std::vector<CodeUse> used;
  std::vector<std::size_t> first(counts.size(), messages.size());
  for (std::size_t n = messages.size(); n-- > 0;) {
    for (std::uint16_t code : messages[n]) {
      if (code < first.size()) first[code] = n;
    }
  }
  for (std::size_t code = 0; code < counts.size(); ++code) {
    if (counts[code] != 0) used.push_back({static_cast<std::uint16_t>(code), counts[code], first[code]});
  }
  TooManyCodes result{used.size(), kMaxDistinctCodes, {}};
  std::stable_sort(used.begin(), used.end(), [](const CodeUse& a, const CodeUse& b) { return a.uses < b.uses; });
  used.resize(used.size() - kMaxDistinctCodes);
  result.rarest = std::move(used);
  return result;
}

}  // namespace talvo::insert
