// talvo room's report: exact JSON for scripts, and text that gives each run
// as the option that uses it, with what a translator must know first.
#include <gtest/gtest.h>

#include <string>

#include "banks.h"
#include "room_report.h"

namespace talvo::cli {
namespace {

free_space::FreeSpace planted() {
  free_space::FreeSpace space;
  space.banks[bank_index(Bank::Messages)] = {{0x500000, 0x520000, 0xFF}};
  space.banks[bank_index(Bank::BattleText)] = {{0x500000, 0x520000, 0xFF}, {0x5FF000, 0x600000, 0x00}};
  return space;
}

TEST(RoomReport, JsonHasEveryBankWithOffsetsAsNumbers) {
  EXPECT_EQ(free_space_json(planted()),
            "{\"msg\": [{\"start\": 5242880, \"end\": 5373952, \"bytes\": 131072}], \"str\": [], "
            "\"btl\": [{\"start\": 5242880, \"end\": 5373952, \"bytes\": 131072}, "
            "{\"start\": 6287360, \"end\": 6291456, \"bytes\": 4096}]}\n");
  EXPECT_EQ(free_space_json({}), "{\"msg\": [], \"str\": [], \"btl\": []}\n");
}

TEST(RoomReport, TextGivesEachRunAsTheOptionThatUsesIt) {
  const std::string text = free_space_text(planted(), 0x600000);
  EXPECT_NE(text.find("\nmessages:\n  --room msg=0x500000-0x520000   131072 bytes of 0xFF\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("\nfixed strings: none\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n  --room btl=0x5FF000-0x600000     4096 bytes of 0x00\n"), std::string::npos) << text;
}

struct WarningCase {
  const char* name;
  std::uint64_t size;
  const char* says;
};

const WarningCase kWarnings[] = {
    {"4 MB: probably free", 0x400000, "only probably free"},
    {"6 MB: probably free", 0x600000, "only probably free"},
    {"4 MB: the messages' reach", 0x400000,
     "On a 4 MB image the messages' pointers reach little beyond their own bank: only from their\n"
     "data at 0x3CC258 to the image's end at 0x400000."},
    {"6 MB: the messages' reach", 0x600000, "The messages' pointers reach up to 0x5CC258"},
    {"one run to one bank", 0x600000, "can be given to one of them only"},
};

class RoomReportWarnings : public ::testing::TestWithParam<int> {};

TEST_P(RoomReportWarnings, AreSaidPlainly) {
  const WarningCase& c = kWarnings[GetParam()];
  SCOPED_TRACE(c.name);
  const std::string text = free_space_text(planted(), c.size);
  EXPECT_NE(text.find(c.says), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Cases, RoomReportWarnings, ::testing::Range(0, static_cast<int>(std::size(kWarnings))));

}  // namespace
}  // namespace talvo::cli
