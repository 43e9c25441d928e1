// The fit report as people and scripts read it: how full each bank is, how
// far over a bank that does not fit is, and what grew.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banks.h"
#include "insert_report.h"
#include "insertion.h"

namespace talvo::cli {
namespace {

using insert::BankFit;

BankFit fit_of(Bank bank, std::uint64_t needed_bits, std::uint64_t needed_bytes, std::uint64_t room_bits,
               std::uint64_t room_bytes) {
  BankFit fit;
  fit.bank = bank;
  fit.needed_bits = needed_bits;
  fit.needed_bytes = needed_bytes;
  fit.room_bits = room_bits;
  fit.room_bytes = room_bytes;
  fit.fits = needed_bits <= room_bits;
  return fit;
}

std::string first_line(const BankFit& fit) {
  insert::FitReport report;
  report.banks.push_back(fit);
  const std::string text = fit_report_text(report);
  return text.substr(0, text.find('\n'));
}

struct FullnessCase {
  const char* name;
  BankFit fit;
  std::string says;
};

const FullnessCase kFullness[] = {
    {"half full", fit_of(Bank::FixedStrings, 8 * 500, 500, 8 * 1000, 1000), "fixed strings: 500 of 1000 bytes (50.0%)"},
    {"exactly full", fit_of(Bank::FixedStrings, 8 * 1000, 1000, 8 * 1000, 1000),
     "fixed strings: 1000 of 1000 bytes (100.0%)"},
    {"a byte bank one byte over in ten thousand", fit_of(Bank::BattleText, 8 * 10001, 10001, 8 * 10000, 10000),
     "battle text: 10001 of 10000 bytes (over by 1 byte): DOES NOT FIT"},
    {"a byte bank 4 bytes over in ten thousand", fit_of(Bank::BattleText, 8 * 10004, 10004, 8 * 10000, 10000),
     "battle text: 10004 of 10000 bytes (over by 4 bytes): DOES NOT FIT"},
    {"a byte bank 1% over", fit_of(Bank::BattleText, 8 * 10100, 10100, 8 * 10000, 10000),
     "battle text: 10100 of 10000 bytes (101.0%): DOES NOT FIT"},
    {"messages 3 bits over in the same bytes", fit_of(Bank::Messages, 80003, 10001, 80000, 10001),
     "messages: 10001 of 10001 bytes (over by 3 bits), 80003 of 80000 bits, 0 codes in the tree: DOES NOT FIT"},
    {"messages over in bits, fewer bytes than their room touches", fit_of(Bank::Messages, 80001, 10001, 80000, 10002),
     "messages: 10001 of 10002 bytes (over by 1 bit), 80001 of 80000 bits, 0 codes in the tree: DOES NOT FIT"},
};

class ReportFullness : public ::testing::TestWithParam<int> {};

TEST_P(ReportFullness, SaysHowFarOverABankIs) {
  const FullnessCase& c = kFullness[GetParam()];
  SCOPED_TRACE(c.name);
  EXPECT_EQ(first_line(c.fit), c.says);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportFullness, ::testing::Range(0, static_cast<int>(std::size(kFullness))));

// A message bank and a byte bank that grew, and one that did not.
insert::FitReport grown_report() {
  insert::FitReport report;
  report.banks.push_back(fit_of(Bank::Messages, 800, 100, 8000, 1000));
  report.banks[0].grown = {{0x7B, 412}, {0x10, 9}};
  report.banks.push_back(fit_of(Bank::FixedStrings, 800, 100, 8000, 1000));
  report.banks[1].grown = {{5, 24}};
  report.banks.push_back(fit_of(Bank::BattleText, 800, 100, 8000, 1000));
  return report;
}

TEST(ReportGrowth, IsALineOfTheTextReportWhereEntriesGrew) {
  const std::string text = fit_report_text(grown_report());
  EXPECT_NE(text.find("\n  grown most: 0x007B (+412 bits), 0x0010 (+9 bits)\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n  grown most: 0x0005 (+3 bytes)\nbattle text:"), std::string::npos) << text;
  EXPECT_EQ(text.find("grown most", text.find("battle text:")), std::string::npos) << text;
}

TEST(ReportGrowth, IsInBitsForMessagesAndBytesForByteBanksInJson) {
  const std::string json = fit_report_json(grown_report(), true);
  EXPECT_NE(json.find("\"grown\":[{\"entry\":123,\"bits\":412},{\"entry\":16,\"bits\":9}]"), std::string::npos) << json;
  EXPECT_NE(json.find("\"grown\":[{\"entry\":5,\"bytes\":3}]"), std::string::npos) << json;
  EXPECT_NE(json.find("\"bank\":\"btl\""), std::string::npos);
  EXPECT_NE(json.find("\"grown\":[]}"), std::string::npos) << json;
}

TEST(ReportGrowth, NamesBitsAndWhatGrewWhenMessagesDoNotFit) {
  insert::DoesNotFit overflow;
  overflow.bank = Bank::Messages;
  overflow.report.banks.push_back(fit_of(Bank::Messages, 80003, 10001, 80000, 10001));
  overflow.report.banks[0].grown = {{2, 40}};
  const std::string said = describe_refusal(insert::Refusal{overflow});
  EXPECT_NE(said.find("they need 80003 bits, their room holds 80000 bits"), std::string::npos) << said;
  EXPECT_NE(said.find("Grown most: 0x0002 (+40 bits)"), std::string::npos) << said;
}

}  // namespace
}  // namespace talvo::cli
