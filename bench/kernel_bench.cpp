// The kernels over a full-size image (4047 messages filling the message
// region, 958 fixed strings, 375 battle entries), all in memory: what is left
// of a program's time once the files are read and written.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "bank_fit.h"
#include "bank_writer.h"
#include "banks.h"
#include "byte_bank_decoder.h"
#include "huffman_code.h"
#include "image_builder.h"
#include "insertion.h"
#include "message_decoder.h"
#include "rom_layout.h"
#include "text_bank_parser.h"
#include "vocabulary.h"

namespace talvo {
namespace {

constexpr std::uint64_t kSeed = 1;

struct FullSizeImage {
  builder::ImageContent content = builder::full_size_content(kSeed);
  std::vector<std::uint8_t> image = builder::build_image(content, builder::ImageSize::Plain6Mb, kSeed);
  std::string message_text = builder::expected_message_text(content);
  std::string fixed_string_text = builder::expected_fixed_string_text(content);
  std::string battle_text = builder::expected_battle_text(content);
};

const FullSizeImage& full_size_image() {
  static const FullSizeImage image;
  return image;
}

// The bits the walk reads: from each group's pointer to its last end code.
// Counted with the tree's code lengths, as the builder lays the groups out.
std::uint64_t message_bits(const FullSizeImage& image, const MessageTree& tree) {
  // Depth of every code reachable from the root.
  std::vector<std::uint32_t> depth_of_code(kMessageCodeCount, 0);
  std::vector<std::pair<std::uint16_t, std::uint32_t>> pending{{rom::kTreeRoot, 0}};
  while (!pending.empty()) {
    const auto [node, depth] = pending.back();
    pending.pop_back();
    for (const MessageTreeEntry* branch : {&tree[node], &tree[node + rom::kTreeNodes]}) {
      if (branch->child >= 0) {
        pending.emplace_back(static_cast<std::uint16_t>(branch->child), depth + 1);
      } else {
        depth_of_code[branch->code] = depth + 1;
      }
    }
  }
  std::uint64_t bits = 0;
  for (const auto& message : image.content.messages) {
    for (std::uint16_t code : message) bits += depth_of_code[code];
  }
  return bits;
}

void BM_HuffmanWalk(benchmark::State& state) {
  const FullSizeImage& image = full_size_image();
  MessageTree tree;
  if (load_message_tree(image.image, tree) != TreeLoad::Ok) throw std::runtime_error("tree");
  for (auto _ : state) {
    BufferedOutput out;
    if (decode_message_text(image.image, tree, game_vocabulary(CodeSet::Message), out) != MessageFailure::None)
      throw std::runtime_error("walk");
    benchmark::DoNotOptimize(out.text().data());
  }
  const auto bits = static_cast<double>(message_bits(image, tree));
  state.counters["bits/s"] =
      benchmark::Counter(bits * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(image.message_text.size()));  // text written
}
BENCHMARK(BM_HuffmanWalk)->Unit(benchmark::kMillisecond);

void BM_TreeLoad(benchmark::State& state) {
  const FullSizeImage& image = full_size_image();
  MessageTree tree;
  for (auto _ : state) benchmark::DoNotOptimize(load_message_tree(image.image, tree));
}
BENCHMARK(BM_TreeLoad)->Unit(benchmark::kMicrosecond);

void byte_bank(benchmark::State& state, const BankRecord& bank, const std::string& expected) {
  const FullSizeImage& image = full_size_image();
  for (auto _ : state) {
    BufferedOutput out;
    if (decode_byte_bank_text(image.image, bank, game_vocabulary(CodeSet::Byte), out) != ByteBankFailure::None)
      throw std::runtime_error("bank");
    benchmark::DoNotOptimize(out.text().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(expected.size()));  // text written
}
void BM_FixedStrings(benchmark::State& state) {
  byte_bank(state, kFixedStringBank, full_size_image().fixed_string_text);
}
void BM_BattleText(benchmark::State& state) { byte_bank(state, kBattleTextBank, full_size_image().battle_text); }
BENCHMARK(BM_FixedStrings)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BattleText)->Unit(benchmark::kMicrosecond);

// The parser reads the file in the engine's 64 KiB blocks.
void parse(benchmark::State& state, const EncoderVariant& variant, const std::string& text) {
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  constexpr std::size_t kBlock = 1 << 16;
  for (auto _ : state) {
    BufferedOutput bank;
    BufferedOutput index;
    TextBankParser parser(variant, game_vocabulary(variant.token_table), bank, index);
    for (std::size_t at = 0; at < bytes.size(); at += kBlock) {
      if (!parser.feed(bytes.subspan(at, std::min(kBlock, bytes.size() - at)))) throw std::runtime_error("parse");
    }
    benchmark::DoNotOptimize(bank.text().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
void BM_ParseMessages(benchmark::State& state) { parse(state, kMessageVariant, full_size_image().message_text); }
void BM_ParseFixedStrings(benchmark::State& state) {
  parse(state, kFixedStringVariant, full_size_image().fixed_string_text);
}
void BM_ParseBattleText(benchmark::State& state) { parse(state, kBattleTextVariant, full_size_image().battle_text); }
BENCHMARK(BM_ParseMessages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseFixedStrings)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseBattleText)->Unit(benchmark::kMicrosecond);

// Insertion's own kernel: the tree from the code counts, every message's size,
// the groups placed in the message room and the bit stream written.
void BM_InsertHuffmanAndPacking(benchmark::State& state) {
  const FullSizeImage& image = full_size_image();
  const auto& messages = image.content.messages;
  const std::vector<insert::BitSpan> room{
      {8 * std::uint64_t{rom::kMessageData}, 8 * std::uint64_t{rom::kFixedStringData}}};
  std::vector<std::uint8_t> cartridge = image.image;
  std::uint64_t bits = 0;
  for (auto _ : state) {
    const insert::HuffmanCode code = insert::build_huffman_code(insert::count_codes(messages));
    const insert::BankPlan plan = insert::plan_bank(Bank::Messages, insert::message_sizes(messages, code), room);
    if (!plan.fit.fits) throw std::runtime_error("fit");
    insert::write_messages(cartridge, messages, code, plan.placement, room);
    benchmark::DoNotOptimize(cartridge.data());
    bits = plan.fit.needed_bits;
  }
  state.counters["bits/s"] = benchmark::Counter(static_cast<double>(bits) * static_cast<double>(state.iterations()),
                                                benchmark::Counter::kIsRate);
}
BENCHMARK(BM_InsertHuffmanAndPacking)->Unit(benchmark::kMillisecond);

// The whole insertion of all three banks: reading the input's rooms, the
// tree, packing, the checksum scan, and the check with the decoders.
void BM_InsertAllBanks(benchmark::State& state) {
  const FullSizeImage& image = full_size_image();
  const insert::NewText text{image.content.messages, image.content.fixed_strings, image.content.battle_text, {}};
  for (auto _ : state) {
    const insert::Outcome outcome = insert::insert_text(image.image, text);
    if (!std::holds_alternative<insert::Inserted>(outcome)) throw std::runtime_error("insert");
    benchmark::DoNotOptimize(std::get<insert::Inserted>(outcome).cartridge.data());
  }
}
BENCHMARK(BM_InsertAllBanks)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace talvo
