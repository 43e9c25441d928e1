#include "exchange_seeds.h"

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bank_entries.h"
#include "banks.h"
#include "cp932.h"
#include "csv_file.h"
#include "entry_names.h"
#include "image_builder.h"
#include "po_file.h"

namespace talvo::fuzz {
namespace {

namespace fs = std::filesystem;

// Small seeds: the first entries of each bank are enough to show the forms.
constexpr std::size_t kEntries = 24;

void write(const fs::path& folder, const std::string& name, char choice, const std::string& input) {
  fs::create_directories(folder);
  std::ofstream file(folder / name, std::ios::binary | std::ios::trunc);
  file << choice << input;
  if (!file) throw std::runtime_error("cannot write " + (folder / name).string());
}

// A literal's bytes, its NULs included.
template <std::size_t N>
std::string literal(const char (&text)[N]) {
  return std::string(text, N - 1);
}

struct BankText {
  Bank bank;
  std::string sjis;
  std::vector<std::string> entries;  // UTF-8
};

std::vector<BankText> sample_banks() {
  const builder::ImageContent sample = builder::sample_content();
  std::vector<BankText> banks{{Bank::Messages, builder::expected_message_text(sample), {}},
                              {Bank::FixedStrings, builder::expected_fixed_string_text(sample), {}},
                              {Bank::BattleText, builder::expected_battle_text(sample), {}}};
  for (BankText& bank : banks) {
    const std::string utf8 = sjis_to_utf8_text(bank.sjis).utf8;
    for (const auto& entry : exchange::split_entries(utf8, bank.bank).entries) {
      if (bank.entries.size() == kEntries) break;
      bank.entries.emplace_back(entry.text);
    }
  }
  return banks;
}

}  // namespace

void write_exchange_seeds(const fs::path& root) {
  const std::vector<BankText> banks = sample_banks();
  for (const BankText& bank : banks) {
    exchange::PoFile po;
    po.header = exchange::PoMessage{};
    po.header->fuzzy = true;
    po.header->comments = "Talvo";
    po.header->translation.text = "MIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\n";
    std::vector<std::vector<std::string>> rows{{"bank", "entry", "original", "translation"}};
    for (std::uint32_t i = 0; i < bank.entries.size(); ++i) {
      exchange::PoMessage message;
      message.context = exchange::PoString{exchange::entry_context({bank.bank, i}), {}, 0};
      message.id.text = bank.entries[i];
      message.translation.text = i % 3 == 0 ? bank.entries[(i + 1) % bank.entries.size()] : "";
      message.fuzzy = i % 5 == 1;
      message.references = "MsgDataDecode.txt:" + std::to_string(4 * i + 1);
      message.extracted_comments = "[00AD] starts a new line of the window.";
      po.messages.push_back(message);
      rows.push_back({bank_record(bank.bank).short_name, exchange::entry_number_text(i), bank.entries[i],
                      message.translation.text});
    }
    const std::string name = bank_record(bank.bank).short_name;
    write(root / "po_reader", name + ".po", '\0', exchange::write_po(po));
    write(root / "csv_reader", name + ".csv", '\0', exchange::write_csv(rows));
    const std::string sjis_head = bank.sjis.substr(0, bank.sjis.find("(0x0018)"));
    write(root / "bank_entries", name + "-sjis", static_cast<char>(bank.bank), sjis_head);
    write(root / "bank_entries", name + "-utf8", static_cast<char>(bank.bank), sjis_to_utf8_text(sjis_head).utf8);
  }
  // What other tools write: msgcat's wrapping, obsolete messages, plural
  // forms, escapes, CR LF; a spreadsheet's quoting and line ends.
  write(root / "po_reader", "other-tools", '\0',
        "# translator\r\n#, fuzzy\r\nmsgid \"\"\r\nmsgstr \"\"\r\n\"Content-Type: text/plain; charset=UTF-8\\n\"\r\n"
        "\r\n#. note\n#: a.txt:1 b.txt:2\n#, fuzzy, c-format\n#| msgid \"old\"\nmsgctxt \"msg \" \"0x0001\"\n"
        "msgid \"\"\n\"one\\n\"\n\"two \\\"\\t\\\\\\x41\\101\"\nmsgstr \"\"\n\n\"x\"\n"
        "#~ msgid \"gone\"\n#~ msgstr \"parti\"\n"
        "msgid \"a\"\nmsgid_plural \"as\"\nmsgstr[0] \"b\"\nmsgstr[1] \"bs\"\n");
  write(root / "po_reader", "made", '\x01', literal("msg 0x0001\0one\ntwo\0\"\\\0\x01\x01str 0x2\0\0x\0"));
  write(root / "csv_reader", "spreadsheet", '\0',
        "\xEF\xBB\xBF"
        "Notes,bank,entry,original,translation\r\n,msg,0x0000,\"a,b\r\nc\",\"say \"\"hi\"\"\"\r\n"
        ",,,,\r\nx,btl,0x0001,plain,\n");
  write(root / "csv_reader", "glossary", '\0', "source,target\r\n王様,KING\r\n\"セ\nラ\",Sera\r\n");
  write(root / "csv_reader", "made", '\x01', literal("a\0b,c\x01\"q\"\0line\nfeed\r\n\x01"));
  // Files to refuse, each at its line.
  const char* const refused[][2] = {
      {"unclosed-string", "msgid \"a\nmsgstr \"\"\n"},
      {"keyword-out-of-place", "msgctxt \"a\"\nmsgstr \"b\"\n"},
      {"latin-1", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\nmsgid \"caf\xE9\"\n"},
  };
  for (const auto& [name, text] : refused) write(root / "po_reader", name, '\0', text);
  write(root / "csv_reader", "unclosed-quote", '\0', "a,\"b\nc\n");
  write(root / "csv_reader", "quote-inside", '\0', "a,b\"c\r\n");
  write(root / "bank_entries", "edited-messages", '\0',
        "stray\r\n(0x0000)\r\nあ[00AC]\r\n(0x0001)い (0x0002)[00AC]\n\n\n(0x00ff)\n[00AC]");
}

}  // namespace talvo::fuzz
