// talvo_build_image: writes a test image and, on request, the nine files the
// extractor and the encoders must produce for it.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "image_builder.h"

namespace {

using talvo::builder::ImageContent;
using talvo::builder::ImageSize;

constexpr char kUsage[] =
    "usage: talvo_build_image --content sample|random|every-code-0|every-code-1|full [--seed N]\n"
    "                         [--size 4m|4m-header|6m] [--fill zero|random] --out IMAGE [--expected DIR]\n";

struct Options {
  std::string content;
  std::uint64_t seed = 1;
  std::optional<ImageSize> size;
  std::optional<bool> random_fill;
  std::string out;
  std::string expected;
};

std::optional<std::uint64_t> parse_seed(std::string_view text) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

// Returns an error text, empty on success.
std::string parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    if (i + 1 >= argc) return "missing value for " + std::string(flag);
    const std::string_view value = argv[++i];
    if (flag == "--content") {
      options.content = value;
    } else if (flag == "--seed") {
      const auto seed = parse_seed(value);
      if (!seed) return "bad seed: " + std::string(value);
      options.seed = *seed;
    } else if (flag == "--size") {
      if (value == "4m")
        options.size = ImageSize::Plain4Mb;
      else if (value == "4m-header")
        options.size = ImageSize::CopierHeader4Mb;
      else if (value == "6m")
        options.size = ImageSize::Plain6Mb;
      else
        return "bad size: " + std::string(value);
    } else if (flag == "--fill") {
      if (value != "zero" && value != "random") return "bad fill: " + std::string(value);
      options.random_fill = value == "random";
    } else if (flag == "--out") {
      options.out = value;
    } else if (flag == "--expected") {
      options.expected = value;
    } else {
      return "unknown option: " + std::string(flag);
    }
  }
  if (options.content.empty()) return "--content is required";
  if (options.out.empty()) return "--out is required";
  return "";
}

void write_file(const std::filesystem::path& path, const void* data, std::size_t size) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

void write_expected(const std::filesystem::path& dir, const ImageContent& content) {
  namespace b = talvo::builder;
  std::filesystem::create_directories(dir);
  const std::pair<const char*, std::string> files[] = {
      {"MsgDataDecode.txt", b::expected_message_text(content)},
      {"StrDataDecode.txt", b::expected_fixed_string_text(content)},
      {"BtlDataDecode.txt", b::expected_battle_text(content)},
      {"MsgDataTalvo.bin", b::expected_message_bank(content)},
      {"MsgDataIDX.bin", b::expected_message_index(content)},
      {"StrDataTalvo.bin", b::expected_fixed_string_bank(content)},
      {"StrDataIDX.bin", b::expected_fixed_string_index(content)},
      {"BtlDataTalvo.bin", b::expected_battle_bank(content)},
      {"BtlDataIDX.bin", b::expected_battle_index(content)},
  };
  for (const auto& [name, bytes] : files) write_file(dir / name, bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const std::string error = parse(argc, argv, options); !error.empty()) {
    std::fprintf(stderr, "talvo_build_image: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  const std::string& kind = options.content;
  if (kind != "sample" && kind != "random" && kind != "every-code-0" && kind != "every-code-1" && kind != "full") {
    std::fprintf(stderr, "talvo_build_image: unknown content: %s\n%s", kind.c_str(), kUsage);
    return 2;
  }
  try {
    namespace b = talvo::builder;
    const ImageContent content = kind == "sample"         ? b::sample_content()
                                 : kind == "random"       ? b::random_content(options.seed)
                                 : kind == "every-code-0" ? b::every_code_content(0)
                                 : kind == "every-code-1" ? b::every_code_content(1)
                                                          : b::full_size_content(options.seed);
    const ImageSize size = options.size.value_or(kind == "full" ? ImageSize::Plain6Mb : ImageSize::Plain4Mb);
    // Generated content gets random filler by default, to catch stray reads;
    // the sample and the every-code images stay plain, easy to read in a hex viewer.
    const bool random_fill = options.random_fill.value_or(kind == "random" || kind == "full");
    const auto image = random_fill ? b::build_image(content, size, options.seed) : b::build_image(content, size);
    write_file(options.out, image.data(), image.size());
    if (!options.expected.empty()) write_expected(options.expected, content);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "talvo_build_image: %s\n", error.what());
    return 1;
  }
  return 0;
}
