// Any bytes as a text file of any bank, cut into entries: each entry's text
// within the file after its header, headers at line starts in order; and
// the entries joined into a file cut back into the same texts.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bank_entries.h"
#include "banks.h"
#include "fuzz_check.h"

namespace {

using namespace talvo;
using namespace talvo::exchange;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Bank banks[] = {Bank::Messages, Bank::FixedStrings, Bank::BattleText};
  const Bank bank = banks[data[0] % 3];
  const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
  const SplitText split = split_entries(file, bank);
  std::vector<std::string> texts;
  std::size_t after = 0, line = 0;
  for (const EntryText& entry : split.entries) {
    FUZZ_CHECK(entry.header >= after && entry.header < entry.header_end && entry.header_end <= file.size());
    FUZZ_CHECK(entry.header == 0 || file[entry.header - 1] == '\n');
    FUZZ_CHECK(file.substr(entry.header, 3) == "(0x" && file[entry.header_end - 1] == ')');
    FUZZ_CHECK(entry.line > line);
    FUZZ_CHECK(entry.text.data() >= file.data() + entry.header_end &&
               entry.text.data() + entry.text.size() <= file.data() + file.size());
    FUZZ_CHECK(!entry.text.ends_with('\n'));
    after = entry.header_end;
    line = entry.line;
    // A text ending in a carriage return would lose it to the line feed
    // join puts after it, as CR LF: such a text is no entry of a file read
    // back.
    if (entry.text.ends_with('\r')) return 0;
    // Text on a message's header line goes to the next line, where "(0x"
    // would begin a header: to the encoders it is a header already.
    if (bank == Bank::Messages && entry.text.starts_with("(0x")) return 0;
    texts.emplace_back(entry.text);
  }
  const std::string joined = join_entries(texts, bank);
  const SplitText again = split_entries(joined, bank);
  FUZZ_CHECK(again.before_first.empty());
  FUZZ_CHECK(again.entries.size() == texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    FUZZ_CHECK(again.entries[i].number == i);
    FUZZ_CHECK(again.entries[i].text == texts[i]);
  }
  return 0;
}
