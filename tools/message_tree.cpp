#include "message_tree.h"

#include <functional>
#include <numeric>
#include <queue>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "seeded_random.h"

namespace talvo::builder {

MessageTree build_message_tree(const std::array<std::uint64_t, kMessageCodeCount>& counts, std::mt19937_64* rng) {
  struct Node {
    std::uint64_t weight;
    std::size_t child[2];  // both kLeaf for a leaf
    std::uint16_t code;
  };
  constexpr std::size_t kLeaf = static_cast<std::size_t>(-1);

  std::vector<Node> nodes;
  for (std::size_t code = 0; code < counts.size(); ++code) {
    if (counts[code] != 0) nodes.push_back({counts[code], {kLeaf, kLeaf}, static_cast<std::uint16_t>(code)});
  }
  if (nodes.empty()) throw std::runtime_error("the messages use no code at all");
  if (nodes.size() > kMaxDistinctCodes) {
    throw std::runtime_error("the messages use " + std::to_string(nodes.size()) + " distinct codes; the tree holds " +
                             std::to_string(kMaxDistinctCodes));
  }
  // The root must branch both ways, so a lone code gets an unused partner.
  if (nodes.size() == 1) {
    const std::uint16_t partner = nodes[0].code == rom::kMessageEnd ? rom::kMessageEndAlt : rom::kMessageEnd;
    nodes.push_back({0, {kLeaf, kLeaf}, partner});
  }
  const std::size_t leaves = nodes.size();

  // Ties go to the lower index, so the tree depends on the counts alone.
  using Item = std::pair<std::uint64_t, std::size_t>;
  std::priority_queue<Item, std::vector<Item>, std::greater<>> heap;
  for (std::size_t i = 0; i < leaves; ++i) heap.push({nodes[i].weight, i});
  while (heap.size() > 1) {
    const Item a = heap.top();
    heap.pop();
    const Item b = heap.top();
    heap.pop();
    nodes.push_back({a.first + b.first, {a.second, b.second}, 0});
    heap.push({a.first + b.first, nodes.size() - 1});
  }
  const std::size_t root = nodes.size() - 1;

  // The root is always node 1001; the other inner nodes may sit anywhere below.
  std::vector<std::uint16_t> free_numbers(rom::kTreeRoot);
  std::iota(free_numbers.begin(), free_numbers.end(), std::uint16_t{0});
  if (rng != nullptr) shuffle(free_numbers, *rng);
  std::vector<std::uint16_t> number(nodes.size(), 0);
  for (std::size_t i = leaves, next = 0; i < nodes.size(); ++i) {
    number[i] = i == root ? rom::kTreeRoot : free_numbers[next++];
  }

  MessageTree tree;
  tree.entries.fill(rng != nullptr ? 0xFFFF : 0x0000);
  struct Visit {
    std::size_t node;
    std::uint64_t bits;
    int length;
  };
  std::vector<Visit> stack{{root, 0, 0}};
  while (!stack.empty()) {
    const Visit visit = stack.back();
    stack.pop_back();
    const Node& node = nodes[visit.node];
    if (node.child[0] == kLeaf) {
      // Only absurdly skewed counts reach this depth; a uint64 holds the path.
      if (visit.length > 63) throw std::runtime_error("the message code counts make the tree too deep");
      tree.codewords[node.code] = {visit.bits, visit.length};
      continue;
    }
    const std::size_t swap = rng != nullptr ? (*rng)() & 1 : 0;
    for (std::size_t bit = 0; bit < 2; ++bit) {
      const std::size_t child = node.child[bit ^ swap];
      // Bit 0 of an inner branch is dropped by the game, so any value must do.
      const std::uint16_t dropped = rng != nullptr ? static_cast<std::uint16_t>((*rng)() & 1) : 0;
      tree.entries[number[visit.node] + bit * rom::kTreeNodes] =
          nodes[child].child[0] == kLeaf
              ? nodes[child].code
              : static_cast<std::uint16_t>(rom::kTreeBranchFlag | number[child] << 1 | dropped);
      stack.push_back({child, visit.bits << 1 | bit, visit.length + 1});
    }
  }
  return tree;
}

}  // namespace talvo::builder
