// The texts of a table's entries in a trie over their UTF-8 bytes, so that
// every entry that matches a text at some place is found in one walk from
// there, a step per byte. A node with several children (the root, the
// letters of a table of pairs) keeps them in a direct row of 256, a node
// with one child keeps it beside itself, and when the rows would take more
// than a few megabytes, the rest go to one shared hash table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace talvo::tables {

class EntryTrie {
 public:
  static constexpr std::uint32_t kNoNode = 0xFFFFFFFF;
  static constexpr std::uint16_t kNoCode = 0xFFFF;
  // How a node keeps its children, where it has no row of its own: its only
  // child beside it, in the hash table, or none (the end of every walk
  // through a table of pairs).
  static constexpr std::uint32_t kSingle = 0xFFFFFFFD;
  static constexpr std::uint32_t kSparse = 0xFFFFFFFE;
  static constexpr std::uint32_t kLeaf = 0xFFFFFFFF;

  struct Entry {
    std::string_view text;  // not empty
    std::uint16_t code;
  };

  EntryTrie() : EntryTrie(std::vector<Entry>{}) {}
  // Where several entries have one text, the lowest code takes it.
  explicit EntryTrie(const std::vector<Entry>& entries);

  std::uint32_t child(std::uint32_t node, std::uint8_t byte) const {
    const std::uint32_t row = dense_row_[node];
    if (row < kSingle) return rows_[std::size_t{row} << 8 | byte];
    if (row == kSingle) return only_byte_[node] == byte ? only_child_[node] : kNoNode;
    if (row == kLeaf) return kNoNode;
    return sparse_child(node, byte);
  }
  // The code whose text ends at `node`, or kNoCode.
  std::uint16_t code_at(std::uint32_t node) const { return codes_[node]; }
  // The bytes of a code's text; 0 for a code that has none here.
  std::uint32_t text_bytes(std::uint16_t code) const { return code < lengths_.size() ? lengths_[code] : 0; }
  std::size_t longest_text() const { return longest_; }
  bool empty() const { return codes_.size() == 1; }

  // Calls `found(end, code)` for every text that matches `text` from byte
  // `from`, shortest first; `end` is the offset after it.
  template <typename Found>
  void for_each_match(std::string_view text, std::size_t from, Found&& found) const {
    std::uint32_t node = 0;
    for (std::size_t at = from; at < text.size();) {
      node = child(node, static_cast<std::uint8_t>(text[at++]));
      if (node == kNoNode) return;
      if (codes_[node] != kNoCode) found(at, codes_[node]);
    }
  }

 private:
  std::uint32_t sparse_child(std::uint32_t node, std::uint8_t byte) const;

  std::vector<std::uint16_t> codes_;      // per node
  std::vector<std::uint32_t> dense_row_;  // per node: its row in rows_, kSingle, kSparse or kLeaf
  std::vector<std::uint8_t> only_byte_;   // per node with one child: that child's byte
  std::vector<std::uint32_t> only_child_;
  std::vector<std::uint32_t> rows_;       // 256 children per dense node
  std::vector<std::uint64_t> edge_keys_;  // the hash table of the other nodes' edges: node << 8 | byte
  std::vector<std::uint32_t> edge_children_;
  std::uint32_t edge_shift_ = 64;
  std::vector<std::uint32_t> lengths_;  // per code
  std::size_t longest_ = 0;
};

}  // namespace talvo::tables
