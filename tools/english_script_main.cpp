// talvo_english_script FOLDER [--seed N]: writes our English script as
// table-mode text files (UTF-8) and the tables that read them, for the
// benchmarks and for trying the table commands by hand:
//
//   MsgEnglish.txt, StrEnglish.txt, BtlEnglish.txt   the three banks, full size
//   msg-letters.tbl, byte-letters.tbl                letters and punctuation alone
//   msg-pairs.tbl, byte-pairs.tbl                    with the most frequent pairs too
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "english_script.h"

namespace {

void write(const std::filesystem::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--seed")) {
    std::fputs("usage: talvo_english_script FOLDER [--seed N]\n", stderr);
    return 2;
  }
  try {
    const std::uint64_t seed = argc == 4 ? std::stoull(argv[3]) : 1;
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    using namespace talvo::builder;
    write(folder / "MsgEnglish.txt", english_message_text(seed));
    write(folder / "StrEnglish.txt", english_byte_text(seed + 1, 958, false));
    write(folder / "BtlEnglish.txt", english_byte_text(seed + 2, 375, true));
    write(folder / "msg-letters.tbl", english_message_table(0));
    write(folder / "msg-pairs.tbl", english_message_table(256));
    write(folder / "byte-letters.tbl", english_byte_table(0));
    write(folder / "byte-pairs.tbl", english_byte_table(139));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "talvo_english_script: %s\n", e.what());
    return 1;
  }
  return 0;
}
