#include "cartridge_edits.h"

#include <algorithm>

namespace talvo::fuzz {
namespace {

constexpr std::uint8_t kKindMask = 0xC0;
constexpr std::uint8_t kFill = 0x80;
constexpr std::uint8_t kTruncate = 0xC0;
constexpr std::uint8_t kRegionMask = 0x3F;
constexpr std::size_t kMaxOverwrite = 32;

}  // namespace

void CartridgeEditor::restore() {
  for (auto it = undo_.rbegin(); it != undo_.rend(); ++it) {
    std::copy(it->bytes.begin(), it->bytes.end(), image_.begin() + static_cast<std::ptrdiff_t>(it->offset));
  }
  undo_.clear();
}

std::uint8_t* CartridgeEditor::save(std::size_t offset, std::size_t count) {
  const auto first = image_.begin() + static_cast<std::ptrdiff_t>(offset);
  undo_.push_back({offset, std::vector<std::uint8_t>(first, first + static_cast<std::ptrdiff_t>(count))});
  return image_.data() + offset;
}

std::span<const std::uint8_t> CartridgeEditor::apply(InputReader& input, std::span<const Region> regions) {
  restore();
  edit_count_ = 0;
  std::size_t size = image_.size();
  while (!input.empty() && !regions.empty()) {
    const std::uint8_t op = input.byte();
    Region region = regions[(op & kRegionMask) % regions.size()];
    region.start = std::min(region.start, image_.size());
    region.length = std::min(region.length, image_.size() - region.start);
    const std::size_t offset = region.length == 0 ? 0 : input.u24() % region.length;
    const std::size_t at = region.start + offset;
    ++edit_count_;
    if ((op & kKindMask) == kTruncate) {
      size = std::min(size, at);
    } else if ((op & kKindMask) == kFill) {
      const std::size_t count = std::min<std::size_t>(input.u16() + 1, region.length - offset);
      const std::uint8_t value = input.byte();
      std::fill_n(save(at, count), count, value);
    } else {
      const std::size_t count = input.byte() % kMaxOverwrite + 1;
      const auto bytes = input.bytes(std::min(count, region.length - offset));
      std::copy(bytes.begin(), bytes.end(), save(at, bytes.size()));
    }
  }
  return std::span<const std::uint8_t>(image_.data(), size);
}

void EditWriter::u24(std::uint32_t value) {
  input_ += static_cast<char>(value & 0xFF);
  input_ += static_cast<char>(value >> 8 & 0xFF);
  input_ += static_cast<char>(value >> 16 & 0xFF);
}

EditWriter& EditWriter::overwrite(unsigned region, std::uint32_t offset, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t done = 0; done < bytes.size(); done += kMaxOverwrite) {
    const std::size_t count = std::min(kMaxOverwrite, bytes.size() - done);
    input_ += static_cast<char>(region & kRegionMask);
    u24(static_cast<std::uint32_t>(offset + done));
    input_ += static_cast<char>(count - 1);
    input_.append(bytes.begin() + static_cast<std::ptrdiff_t>(done),
                  bytes.begin() + static_cast<std::ptrdiff_t>(done + count));
  }
  return *this;
}

EditWriter& EditWriter::fill(unsigned region, std::uint32_t offset, std::uint32_t count, std::uint8_t value) {
  for (std::uint32_t done = 0; done < count; done += 0x10000) {
    const std::uint32_t part = std::min<std::uint32_t>(0x10000, count - done);
    input_ += static_cast<char>(kFill | (region & kRegionMask));
    u24(offset + done);
    input_ += static_cast<char>((part - 1) & 0xFF);
    input_ += static_cast<char>((part - 1) >> 8);
    input_ += static_cast<char>(value);
  }
  return *this;
}

EditWriter& EditWriter::truncate(unsigned region, std::uint32_t offset) {
  input_ += static_cast<char>(kTruncate | (region & kRegionMask));
  u24(offset);
  return *this;
}

}  // namespace talvo::fuzz
