#include "room_report.h"

#include <cstdio>

#include "banks.h"
#include "rom_layout.h"

namespace talvo::cli {
namespace {

struct BankNames {
  Bank bank;
  const char* option;  // as --room names it
  const char* name;
};

constexpr BankNames kNames[] = {
    {Bank::Messages, "msg", "messages"},
    {Bank::FixedStrings, "str", "fixed strings"},
    {Bank::BattleText, "btl", "battle text"},
};

std::string hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%06llX", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace

std::string free_space_text(const free_space::FreeSpace& space, std::uint64_t cartridge_size) {
  const std::uint64_t message_reach = rom::kMessageData + insert::kMessageOffsetLimit;
  std::string text = "Runs of at least " + std::to_string(free_space::kShortestRun) +
                     " bytes of 0x00 or 0xFF that each bank's pointers reach, apart from every\n"
                     "bank's text, the pointer tables, the message tree and the internal header.\n"
                     "Such bytes are only probably free: nothing shows that the game never reads them (blank\n"
                     "graphics or data look the same), so play the game through the text moved there.\n";
  if (cartridge_size <= rom::kSize4Mb) {
    text +=
        "On a 4 MB image the messages' pointers reach little beyond their own bank: only from their\n"
        "data at " +
        hex(rom::kMessageData) + " to the image's end at " + hex(cartridge_size) + ".\n";
  } else {
    text += "The messages' pointers reach up to " + hex(message_reach) + ", 2 MiB from their data at " +
            hex(rom::kMessageData) + ";\nthe byte banks' reach the whole image above their data.\n";
  }
  text += "A run listed for several banks can be given to one of them only.\n";
  for (const BankNames& names : kNames) {
    const auto& runs = space.of(names.bank);
    text += std::string("\n") + names.name + (runs.empty() ? ": none\n" : ":\n");
    for (const free_space::FreeRun& run : runs) {
      char line[128];
      std::snprintf(line, sizeof line, "  --room %s=%s-%s  %7u bytes of 0x%02X\n", names.option, hex(run.start).c_str(),
                    hex(run.end).c_str(), run.bytes(), run.byte);
      text += line;
    }
  }
  return text;
}

std::string free_space_json(const free_space::FreeSpace& space) {
  std::string json = "{";
  for (const BankNames& names : kNames) {
    json += std::string(names.bank == Bank::Messages ? "" : ", ") + "\"" + names.option + "\": [";
    const auto& runs = space.of(names.bank);
    for (std::size_t i = 0; i < runs.size(); ++i) {
      json += std::string(i ? ", " : "") + "{\"start\": " + std::to_string(runs[i].start) +
              ", \"end\": " + std::to_string(runs[i].end) + ", \"bytes\": " + std::to_string(runs[i].bytes()) + "}";
    }
    json += "]";
  }
  return json + "}\n";
}

}  // namespace talvo::cli
