// talvo_fuzz_seeds OUTDIR: writes the seed inputs of the fuzz targets,
// one folder each, from the test-image builder's content and edits that
// break an image in each of the ways we know of. Made at build time, so the
// repository keeps no large binary corpora.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "banks.h"
#include "builtin_tables_export.h"
#include "cartridge_edits.h"
#include "cp932.h"
#include "english_script.h"
#include "exchange_seeds.h"
#include "fuzz_regions.h"
#include "image_builder.h"
#include "png_image.h"

namespace {

using namespace talvo;
using fuzz::EditWriter;
namespace fs = std::filesystem;

class SeedFolder {
 public:
  SeedFolder(const fs::path& root, const char* target) : folder_(root / target) { fs::create_directories(folder_); }
  void write(const std::string& name, const std::string& input) const {
    std::ofstream file(folder_ / name, std::ios::binary | std::ios::trunc);
    file.write(input.data(), static_cast<std::streamsize>(input.size()));
    if (!file) throw std::runtime_error("cannot write " + (folder_ / name).string());
  }

 private:
  fs::path folder_;
};

std::string with_choice(std::uint8_t choice, const std::string& rest) { return static_cast<char>(choice) + rest; }

std::vector<std::uint8_t> le16(std::uint16_t v) {
  return {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)};
}

void message_decoder_seeds(const SeedFolder& seeds) {
  using namespace fuzz;
  constexpr std::uint32_t kRoot0 = 2 * rom::kTreeRoot;                      // entry 1001
  constexpr std::uint32_t kRoot1 = 2 * (rom::kTreeRoot + rom::kTreeNodes);  // entry 2003
  seeds.write("good-random-image", with_choice(0, ""));
  seeds.write("good-sample-image", with_choice(1, ""));
  seeds.write("good-6mb-image", with_choice(2, ""));
  seeds.write("branch-to-node-1500",
              with_choice(0, EditWriter().overwrite(kMessageTreeRegion, kRoot0, le16(0x8000 | 1500 << 1)).input()));
  seeds.write("leaf-code-0x60C",
              with_choice(1, EditWriter().overwrite(kMessageTreeRegion, kRoot1, le16(0x060C)).input()));
  seeds.write("tree-loops-to-the-root", with_choice(0, EditWriter()
                                                           .overwrite(kMessageTreeRegion, kRoot1, le16(0x87D2))
                                                           .fill(kMessageDataRegion, 0, 0x2000, 0xFF)
                                                           .truncate(kMessageDataRegion, 0x2000)
                                                           .input()));
  // Walks that run to the end of the image are cut short: each costs seconds
  // under the fuzzer's instrumentation over a whole image.
  seeds.write("message-0-never-ends", with_choice(1, EditWriter()
                                                         .overwrite(kMessageTreeRegion, kRoot0, le16(0))
                                                         .overwrite(kMessageTreeRegion, kRoot1, le16(0))
                                                         .truncate(kMessageDataRegion, 0x800)
                                                         .input()));
  seeds.write("zero-tree-and-data", with_choice(0, EditWriter()
                                                       .fill(kMessageTreeRegion, 0, 2 * rom::kTreeEntries, 0)
                                                       .fill(kMessageDataRegion, 0, 0x1000, 0)
                                                       .truncate(kMessageDataRegion, 0x1000)
                                                       .input()));
  seeds.write("group-3-points-past-the-end",
              with_choice(0, EditWriter().overwrite(kAccessTableRegion, 9, {0xFF, 0xFF, 0xFF}).input()));
  seeds.write("group-0-points-at-the-last-byte",
              with_choice(0, EditWriter()
                                 .overwrite(kAccessTableRegion, 0, {0x3F, 0xED, 0x19})  // (0x33DA7 << 3) | 7
                                 .input()));
  seeds.write("cut-in-the-tree", with_choice(0, EditWriter().truncate(kMessageTreeRegion, 1000).input()));
  seeds.write("cut-in-the-access-table", with_choice(0, EditWriter().truncate(kAccessTableRegion, 30).input()));
  seeds.write("cut-where-the-data-starts", with_choice(1, EditWriter().truncate(kMessageDataRegion, 0).input()));
  seeds.write("cut-in-the-data", with_choice(2, EditWriter().truncate(kMessageDataRegion, 0x1000).input()));
}

void byte_bank_decoder_seeds(const SeedFolder& seeds) {
  using namespace fuzz;
  for (std::uint8_t choice = 0; choice < 4; ++choice) {
    const std::string bank = (choice & 1) == 0 ? "fixed-strings" : "battle-text";
    const std::string image = (choice & 2) == 0 ? "random-image" : "every-code-image";
    const BankRecord& layout = (choice & 1) == 0 ? kFixedStringBank : kBattleTextBank;
    seeds.write(bank + "-" + image, with_choice(choice, ""));
    seeds.write(
        bank + "-" + image + "-last-group-points-past-the-end",
        with_choice(choice, EditWriter()
                                .overwrite(kPointerTableRegion, static_cast<std::uint32_t>(3 * (layout.groups() - 1)),
                                           {0xFF, 0xFF, 0xFF})
                                .input()));
    seeds.write(bank + "-" + image + "-no-terminators",
                with_choice(choice, EditWriter().fill(kBankDataRegion, 0, rom::kSize6Mb - layout.data, 0x0C).input()));
    seeds.write(bank + "-" + image + "-cut-in-the-pointer-table",
                with_choice(choice, EditWriter().truncate(kPointerTableRegion, 20).input()));
    seeds.write(bank + "-" + image + "-cut-in-the-data",
                with_choice(choice, EditWriter().truncate(kBankDataRegion, 0x400).input()));
  }
}

void text_parser_seeds(const SeedFolder& seeds) {
  constexpr std::size_t kSlice = 3000;
  const builder::ImageContent sample = builder::sample_content();
  const std::string texts[] = {builder::expected_message_text(sample), builder::expected_fixed_string_text(sample),
                               builder::expected_battle_text(sample)};
  const char* const names[] = {"messages", "fixed-strings", "battle-text"};
  for (std::uint8_t v = 0; v < 3; ++v) {
    const std::string& text = texts[v];
    seeds.write(std::string(names[v]) + "-start", with_choice(v, text.substr(0, kSlice)));
    seeds.write(std::string(names[v]) + "-middle-in-pieces-of-7",
                with_choice(static_cast<std::uint8_t>(v + 3 * 6), text.substr(text.size() / 2, kSlice)));
    seeds.write(std::string(names[v]) + "-read-by-the-next-encoder",
                with_choice(static_cast<std::uint8_t>((v + 1) % 3), text.substr(0, kSlice)));
  }
  const std::string hand_made[][2] = {
      {"byte-order-mark", "\xEF\xBB\xBF(0x0000)\n\x82\xA0[00AC]\n"},
      {"crlf-lines", "(0x0000)\r\n\x82\xA0[00AD]\r\n\x82\xA2[00AC]\r\n\r\n(0x0001)\r\n[00AC]\r\n"},
      {"lone-carriage-return", "(0x0000)\n\x82\xA0\r\x82\xA2"},
      {"nul-bytes", std::string("(0x0000)\n\x82\xA0\0\0[00\0AC]", 18)},
      {"twenty-byte-token", "(0x0000)\n[ABCDEFGHIJKLMNOPQRST]"},
      {"ends-inside-a-character", "(0x0000)\n\x82\xA0\x82"},
      {"ends-inside-a-token", "(0x0000)\n\x82\xA0[00A"},
      {"ends-inside-a-header", "(0x0000)\n\x82\xA0[00AC]\n\n(0x00"},
      {"named-tokens", "()[Heart][Ex][10][Lv]--ExLv10[00AC]"},
  };
  for (const auto& [name, text] : hand_made) seeds.write(name, with_choice(0, text));
}

void text_round_trip_seeds(const SeedFolder& seeds) {
  const builder::ImageContent sample = builder::sample_content();
  auto unit = [](std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
  };
  constexpr std::uint16_t kNewEntry = 0x000F;
  std::string messages, fixed, battle;
  for (std::size_t n = 0; n < 40 && n < sample.messages.size(); ++n) {
    if (n > 0) unit(messages, kNewEntry);
    for (std::uint16_t code : sample.messages[n]) unit(messages, static_cast<std::uint16_t>(code << 4));
  }
  for (std::size_t n = 0; n < 40; ++n) {
    if (n > 0) unit(fixed, kNewEntry), unit(battle, kNewEntry);
    for (std::uint8_t code : sample.fixed_strings[n]) unit(fixed, static_cast<std::uint16_t>(code << 4));
    for (std::uint8_t code : sample.battle_text[n]) unit(battle, static_cast<std::uint16_t>(code << 4));
  }
  seeds.write("sample-messages", with_choice(0, messages));
  seeds.write("sample-fixed-strings-in-pieces-of-5", with_choice(1 + 3 * 4, fixed));
  seeds.write("sample-battle-text", with_choice(2, battle));
}

// Font sheets: whole pictures of several colour types and cell sizes (the
// first two bytes choose the cell), and the same cut short.
void font_sheet_seeds(const SeedFolder& seeds) {
  const auto sheet = [](std::uint32_t cell, std::uint32_t rows) {
    preview::Image image(16 * cell, rows * cell, {});
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
      image.pixels[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 3), 0x80,
                         static_cast<std::uint8_t>(i % 3 == 0 ? 0 : 255)};
    const std::vector<std::uint8_t> png = preview::write_png(image);
    std::string bytes{static_cast<char>(cell - 1), static_cast<char>(cell - 1)};
    return bytes + std::string(png.begin(), png.end());
  };
  seeds.write("cells-of-8-two-rows", sheet(8, 2));
  seeds.write("cells-of-4-one-row", sheet(4, 1));
  const std::string whole = sheet(6, 3);
  seeds.write("cells-of-6-three-rows", whole);
  seeds.write("cut-in-its-data", whole.substr(0, whole.size() / 2));
}

void widths_file_seeds(const SeedFolder& seeds) {
  seeds.write("letters", "\xEF\xBB\xBF# a redrawn font\r\n4C1=12\n4C2 = 7  # narrow\n\n200=8\n");
  seeds.write("every-kind-of-line", "0=0\n60B=1024\n010=16\n#\n  \t\n");
  seeds.write("twice", "4C1=1\n4C1=2\n");
}

}  // namespace

// Table files: the game's own exported, our English ones, and one line of
// each kind of fault; the first byte picks the kind.
void table_file_seeds(const SeedFolder& seeds) {
  seeds.write("builtin-message", with_choice(0, tables::export_builtin_table(CodeSet::Message)));
  seeds.write("builtin-byte", with_choice(1, tables::export_builtin_table(CodeSet::Byte)));
  seeds.write("english-message", with_choice(0, builder::english_message_table(256)));
  seeds.write("english-byte", with_choice(1, builder::english_byte_table(139)));
  seeds.write("bom-crlf-comments", with_choice(0, "\xEF\xBB\xBF# a\r\n\r\n0302=e \r\n/0AC=[end]\r\n*0AD=[line]"));
  seeds.write("faults", with_choice(0,
                                    "0302 e\n0302=e\n302=f\n060C=x\n=x\n0303=\n0304=a[b\n00B0=[]\n0305=[0041]\n"
                                    "/0306=[x]\n*0AC=[x]\n0AC=.\n0307=\xE9t\n0308=a\tb\n"));
  seeds.write("byte-faults", with_choice(1, "A=x\n4A=[41]\n*AC=[x]\n/AD=[x]\nAE=!\n"));
}

// Text through a table: [mode][table length][table][text]. Mode bit 0 the
// byte kind, bit 1 Shift_JIS text, bit 2 the target's own table.
void table_text_seeds(const SeedFolder& seeds) {
  const std::string message = builder::english_message_text(3, 12);
  seeds.write("english-messages-own-table", std::string("\x04\x00", 2) + message);
  const std::string table = builder::english_message_table(40);
  seeds.write("english-messages-english-table", std::string(1, '\0') +
                                                    static_cast<char>(std::min<std::size_t>(table.size(), 255)) +
                                                    table.substr(0, 255) + message);
  seeds.write("english-bytes-own-table", std::string("\x05\x00", 2) + builder::english_byte_text(3, 20, true));
  const std::string kana =
      utf8_to_sjis_text("(0x0000)\nあ(ab)[wait]\r\n[line\n[0700][zz]a[end]\n\n(0x1)\nb \xEF\xBD\x9E[end]\n").sjis;
  seeds.write("shift-jis-problems", std::string("\x06\x00", 2) + kana);
}

// Random tables and texts: [kind][entries...][messages...], numbers read
// modulo their range.
void table_encoding_seeds(const SeedFolder& seeds) {
  for (int seed = 0; seed < 6; ++seed) {
    std::string input;
    std::uint64_t x = 0x9E3779B97F4A7C15u * static_cast<std::uint64_t>(seed + 1);
    for (int i = 0; i < 400; ++i) {
      x ^= x << 13, x ^= x >> 7, x ^= x << 17;
      input += static_cast<char>(x & 0xFF);
    }
    input[0] = static_cast<char>(seed & 1);
    seeds.write("random-" + std::to_string(seed), input);
  }
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: talvo_fuzz_seeds OUTDIR\n");
    return 2;
  }
  try {
    const fs::path root = argv[1];
    message_decoder_seeds(SeedFolder(root, "message_decoder"));
    byte_bank_decoder_seeds(SeedFolder(root, "byte_bank_decoder"));
    text_parser_seeds(SeedFolder(root, "text_parser"));
    text_round_trip_seeds(SeedFolder(root, "text_round_trip"));
    font_sheet_seeds(SeedFolder(root, "font_sheet"));
    widths_file_seeds(SeedFolder(root, "widths_file"));
    table_file_seeds(SeedFolder(root, "table_file"));
    table_text_seeds(SeedFolder(root, "table_text"));
    table_encoding_seeds(SeedFolder(root, "table_encoding"));
    fuzz::write_exchange_seeds(root);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "talvo_fuzz_seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
