#include "huffman_lengths.h"

#include <algorithm>

namespace talvo::tables {

std::vector<std::uint32_t> huffman_lengths(std::span<const std::uint64_t> counts) {
  std::vector<std::uint32_t> lengths(counts.size(), 0);
  struct Node {
    std::uint64_t weight;
    std::uint32_t parent;
  };
  std::vector<std::uint32_t> leaves;
  for (std::uint32_t code = 0; code < counts.size(); ++code) {
    if (counts[code] != 0) leaves.push_back(code);
  }
  if (leaves.empty()) return lengths;
  if (leaves.size() == 1) {
    lengths[leaves[0]] = 1;
    return lengths;
  }
  std::stable_sort(leaves.begin(), leaves.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return counts[a] < counts[b]; });
  // Two queues: the leaves by weight, and the joined trees, which come out
  // in order of weight themselves.
  const std::size_t n = leaves.size();
  std::vector<Node> nodes;
  nodes.reserve(2 * n - 1);
  for (std::uint32_t code : leaves) nodes.push_back({counts[code], 0});
  std::size_t next_leaf = 0, next_joined = n;
  const auto take = [&]() -> std::size_t {
    const bool leaf =
        next_joined == nodes.size() || (next_leaf < n && nodes[next_leaf].weight <= nodes[next_joined].weight);
    return leaf ? next_leaf++ : next_joined++;
  };
  while (nodes.size() < 2 * n - 1) {
    const std::size_t a = take();
    const std::size_t b = take();
    const auto joined = static_cast<std::uint32_t>(nodes.size());
    nodes.push_back({nodes[a].weight + nodes[b].weight, 0});
    nodes[a].parent = joined;
    nodes[b].parent = joined;
  }
  // Depths from the root down: every parent lies after its children.
  std::vector<std::uint32_t> depth(nodes.size(), 0);
  for (std::size_t i = nodes.size() - 1; i-- > 0;) depth[i] = depth[nodes[i].parent] + 1;
  for (std::size_t i = 0; i < n; ++i) lengths[leaves[i]] = depth[i];
  return lengths;
}

std::uint64_t huffman_bits(std::span<const std::uint64_t> counts) {
  const std::vector<std::uint32_t> lengths = huffman_lengths(counts);
  std::uint64_t bits = 0;
  for (std::size_t code = 0; code < counts.size(); ++code) bits += counts[code] * lengths[code];
  return bits;
}

}  // namespace talvo::tables
