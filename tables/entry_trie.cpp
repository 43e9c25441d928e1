#include "entry_trie.h"

#include <algorithm>
#include <bit>
#include <cassert>

namespace talvo::tables {
namespace {

constexpr std::uint64_t kEmptyKey = ~std::uint64_t{0};
// At most this many rows of 256 children (4 MiB); a table has at most 1548
// entries, so only a hostile one has more nodes with several children.
constexpr std::size_t kMaxRows = 4096;

std::size_t slot_of(std::uint64_t key, std::uint32_t shift) {
  return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15u) >> shift);
}

}  // namespace

EntryTrie::EntryTrie(const std::vector<Entry>& entries) {
  // The texts in order, so that each shares its path with the one before
  // as far as their common beginning: nodes are made without any search.
  std::vector<std::size_t> order(entries.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return entries[a].text != entries[b].text ? entries[a].text < entries[b].text : entries[a].code < entries[b].code;
  });
  codes_.assign(1, kNoCode);
  std::vector<std::uint32_t> parent{kNoNode};
  std::vector<std::uint8_t> byte_of{0};
  std::vector<std::uint32_t> children{0};
  std::vector<std::uint32_t> path{0};  // the nodes along the text before, by depth
  std::vector<std::uint32_t> end_node(entries.size());
  std::string_view before;
  for (const std::size_t i : order) {
    const std::string_view text = entries[i].text;
    assert(!text.empty());
    std::size_t common = 0;
    while (common < text.size() && common < before.size() && text[common] == before[common]) ++common;
    path.resize(common + 1);
    for (std::size_t depth = common; depth < text.size(); ++depth) {
      const auto node = static_cast<std::uint32_t>(codes_.size());
      codes_.push_back(kNoCode);
      parent.push_back(path.back());
      byte_of.push_back(static_cast<std::uint8_t>(text[depth]));
      children.push_back(0);
      ++children[path.back()];
      path.push_back(node);
    }
    if (codes_[path.back()] == kNoCode) codes_[path.back()] = entries[i].code;  // the lowest, by the order
    end_node[i] = path.back();
    longest_ = std::max(longest_, text.size());
    before = text;
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::uint16_t code = entries[i].code;
    if (codes_[end_node[i]] != code) continue;
    if (lengths_.size() <= code) lengths_.resize(code + std::size_t{1}, 0);
    lengths_[code] = static_cast<std::uint32_t>(entries[i].text.size());
  }

  dense_row_.assign(codes_.size(), kLeaf);
  only_byte_.assign(codes_.size(), 0);
  only_child_.assign(codes_.size(), kNoNode);
  std::size_t sparse_edges = 0;
  for (std::size_t node = 0; node < codes_.size(); ++node) {
    if (node == 0 || (children[node] >= 2 && (rows_.size() >> 8) < kMaxRows)) {
      dense_row_[node] = static_cast<std::uint32_t>(rows_.size() >> 8);
      rows_.resize(rows_.size() + 256, kNoNode);
    } else if (children[node] == 1) {
      dense_row_[node] = kSingle;
    } else if (children[node] > 1) {
      dense_row_[node] = kSparse;
      sparse_edges += children[node];
    }
  }
  const std::size_t capacity = std::bit_ceil(std::max<std::size_t>(16, 2 * sparse_edges));
  edge_shift_ = static_cast<std::uint32_t>(64 - std::countr_zero(capacity));
  edge_keys_.assign(capacity, kEmptyKey);
  edge_children_.assign(capacity, kNoNode);
  for (std::size_t node = 1; node < codes_.size(); ++node) {
    const std::uint32_t up = parent[node];
    if (dense_row_[up] < kSingle) {
      rows_[std::size_t{dense_row_[up]} << 8 | byte_of[node]] = static_cast<std::uint32_t>(node);
      continue;
    }
    if (dense_row_[up] == kSingle) {
      only_byte_[up] = byte_of[node];
      only_child_[up] = static_cast<std::uint32_t>(node);
      continue;
    }
    const std::uint64_t key = std::uint64_t{up} << 8 | byte_of[node];
    std::size_t slot = slot_of(key, edge_shift_);
    while (edge_keys_[slot] != kEmptyKey) slot = (slot + 1) & (capacity - 1);
    edge_keys_[slot] = key;
    edge_children_[slot] = static_cast<std::uint32_t>(node);
  }
}

std::uint32_t EntryTrie::sparse_child(std::uint32_t node, std::uint8_t byte) const {
  const std::uint64_t key = std::uint64_t{node} << 8 | byte;
  const std::size_t mask = edge_keys_.size() - 1;
  for (std::size_t slot = slot_of(key, edge_shift_);; slot = (slot + 1) & mask) {
    if (edge_keys_[slot] == key) return edge_children_[slot];
    if (edge_keys_[slot] == kEmptyKey) return kNoNode;
  }
}

}  // namespace talvo::tables
