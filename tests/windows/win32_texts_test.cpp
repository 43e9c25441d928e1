// The programs' Shift_JIS texts as the Windows boxes and dialog show them:
// through the wide-character API, converted from code page 932 whatever the
// system's code page. The script runs these tests under Wine with a Western
// code page, where the ANSI calls garbled them.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "cp932.h"
#include "encoder_texts.h"
#include "extractor_texts.h"
#include "insert_texts.h"
#include "platform_win32_text.h"
#include "program_texts.h"

namespace talvo {
namespace {

std::u16string utf16(const std::wstring& wide) { return {wide.begin(), wide.end()}; }

// The same text through the compiled-in table, which does not ask Windows.
std::u16string through_table(std::string_view sjis) {
  std::u16string out;
  while (!sjis.empty()) {
    const Cp932Char c = decode_cp932(sjis);
    if (c.length == 0) return u"(not Shift_JIS)";
    if (c.code_point > 0xFFFF) {
      out += static_cast<char16_t>(0xD800 + ((c.code_point - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c.code_point - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c.code_point);
    }
    sjis.remove_prefix(c.length);
  }
  return out;
}

struct ProgramText {
  const char* name;
  const char* sjis;
  std::u16string_view shown;  // written out by hand
};

const ProgramText kProgramTexts[] = {
    {"kAllFilesFilter", texts::kAllFilesFilter, u"すべてのFile (*.*)"},
    {"kAllFilesPattern", texts::kAllFilesPattern, u"*.*"},
    {"kNoFileText", texts::kNoFileText, u"ファイルを指定してください"},
    {"kNoFileCaption", texts::kNoFileCaption, u"ファイルが指定されていません"},
    {"kOpenFailedText", texts::kOpenFailedText, u"ファイルがオープンできません"},
    {"kOpenFailedCaption", texts::kOpenFailedCaption, u"ファイルオープンの失敗"},
    {"kFinishedText", texts::kFinishedText, u"終了しました"},
    {"kFinishedCaption", texts::kFinishedCaption, u"終了"},
    {"kErrorCaption", texts::kErrorCaption, u"エラー"},
    {"kCannotCreateText", texts::kCannotCreateText, u"ファイルが作成できません\n"},
    {"kWriteFailedText", texts::kWriteFailedText, u"ファイルの書き込みに失敗\n"},
    {"kOutOfMemoryText", texts::kOutOfMemoryText, u"メモリが足りません"},
    {"kUnexpectedErrorText", texts::kUnexpectedErrorText, u"予期しないエラーが発生しました"},

    {"kRomFilter", texts::kRomFilter, u"SFC ROM (*.smc;*.fig)"},
    {"kRomPattern", texts::kRomPattern, u"*.smc;*.fig;"},
    {"kRomInitialName", texts::kRomInitialName, u"*.smc;*.fig"},
    {"kNotTalvoText", texts::kNotTalvoText, u"Talvo(SFC)のファイルではありません"},
    {"kBadSizeCaption", texts::kBadSizeCaption, u"ファイルサイズの不正"},
    {"kTreeReadFailed", texts::kTreeReadFailed, u"ハフマン木の読み込みに失敗"},
    {"kTreeExpandFailed", texts::kTreeExpandFailed, u"ハフマン木の展開に失敗"},
    {"kAccessTableReadFailed", texts::kAccessTableReadFailed, u"メッセージアクセステーブルの読み込みに失敗"},
    {"kMessageDataReadFailed", texts::kMessageDataReadFailed, u"メッセージデータの読み込みに失敗"},
    {"kFixedStringReadFailed", texts::kFixedStringReadFailed, u"固定文字列の読み込みに失敗"},

    {"kTextFilter", texts::kTextFilter, u"Text File (*.txt)"},
    {"kTextPattern", texts::kTextPattern, u"*.txt"},
    {"kTextInitialName", texts::kTextInitialName, u"*.txt"},
    {"kUnusedCharacterText", texts::kUnusedCharacterText, u"Talvoに使われていない文字が含まれています\n"},
    {"kPositionFormat", texts::kPositionFormat, u"%07llubyte目\n"},
    {"kReadFailedText", texts::kReadFailedText, u"メッセージアクセステーブルの読み込みに失敗"},
    {"kBankTooLargeText", texts::kBankTooLargeText, u"バンクが16MBを超えたのでインデックスに書けません\n"},

    {"kInsertedImageName", texts::kInsertedImageName, u"TalvoInsert.smc"},
    {"kInsertedPatchName", texts::kInsertedPatchName, u"TalvoInsert.bps"},
    {"kNoTextFilesText", texts::kNoTextFilesText, u"テキストファイルが見つかりません"},
    {"kTextErrorsText", texts::kTextErrorsText, u"テキストに誤りがあります"},
    {"kNoRoomText", texts::kNoRoomText, u"容量が足りません"},
    {"kTooManyCodesText", texts::kTooManyCodesText, u"文字の種類が多すぎます"},
    {"kSameFileText", texts::kSameFileText, u"入力ファイルと出力ファイルが同じです"},
    {"kBrokenImageText", texts::kBrokenImageText, u"元のイメージのテキストが読めません"},
    {"kVerificationFailedText", texts::kVerificationFailedText, u"検証に失敗しました"},
    {"kMessagesName", texts::kMessagesName, u"メッセージ"},
    {"kFixedStringsName", texts::kFixedStringsName, u"固定文字列"},
    {"kBattleTextName", texts::kBattleTextName, u"戦闘テキスト"},
    {"kBytes", texts::kBytes, u"バイト"},
    {"kBits", texts::kBits, u"ビット"},
    {"kCharacters", texts::kCharacters, u"文字"},
    {"kNeeded", texts::kNeeded, u"必要"},
    {"kRoom", texts::kRoom, u"空き"},
    {"kUsed", texts::kUsed, u"使用"},
    {"kLongestEntries", texts::kLongestEntries, u"長いエントリ"},
    {"kChecksumRecomputed", texts::kChecksumRecomputed, u"チェックサムを再計算しました"},
    {"kChecksumKept", texts::kChecksumKept, u"内部ヘッダーのチェックサムはそのままです"},
    {"kNothingWritten", texts::kNothingWritten, u"何も書き込んでいません"},
};

// Where the script asks for it, the proof that the system code page is not
// Japanese: there the ANSI calls would have read every text as code page 1252.
TEST(WindowsTexts, SystemCodePageIsTheOneAskedFor) {
  const char* expected = std::getenv("TALVO_EXPECTED_CODE_PAGE");
  if (expected == nullptr) GTEST_SKIP() << "TALVO_EXPECTED_CODE_PAGE is not set";
  EXPECT_EQ(GetACP(), std::strtoul(expected, nullptr, 10));
  EXPECT_NE(GetACP(), 932u);
}

TEST(WindowsTexts, EveryProgramTextShowsAsItsJapanese) {
  for (const ProgramText& text : kProgramTexts) {
    SCOPED_TRACE(text.name);
    const std::u16string shown = utf16(platform::win32::wide_from_sjis(text.sjis));
    EXPECT_EQ(shown, text.shown);
    EXPECT_EQ(shown, through_table(text.sjis));
  }
}

// The filter names of both dialogs, and the list's layout of NULs.
TEST(WindowsTexts, FilterListsOfBothDialogs) {
  const platform::FileFilter rom[] = {{texts::kRomFilter, texts::kRomPattern},
                                      {texts::kAllFilesFilter, texts::kAllFilesPattern}};
  const platform::FileFilter text[] = {{texts::kTextFilter, texts::kTextPattern},
                                       {texts::kAllFilesFilter, texts::kAllFilesPattern}};
  using namespace std::string_view_literals;
  EXPECT_EQ(utf16(platform::win32::wide_filter_list(rom)),
            u"SFC ROM (*.smc;*.fig)\0*.smc;*.fig;\0すべてのFile (*.*)\0*.*\0\0"sv);
  EXPECT_EQ(utf16(platform::win32::wide_filter_list(text)), u"Text File (*.txt)\0*.txt\0すべてのFile (*.*)\0*.*\0\0"sv);
}

// An encoder's box can quote any two bytes of a text file: whatever they
// are, the text around them still shows.
TEST(WindowsTexts, StrayBytesLeaveTheRestOfTheBox) {
  for (const std::string_view stray : {"\x80", "\xA0", "\xFF", "\x82\x20", "\xFC\xFC", "\x81"}) {
    const std::string box = std::string(texts::kUnusedCharacterText) + std::string(stray);
    const std::u16string shown = utf16(platform::win32::wide_from_sjis(box));
    const std::u16string_view head = u"Talvoに使われていない文字が含まれています\n";
    ASSERT_GE(shown.size(), head.size() + 1);
    EXPECT_EQ(shown.substr(0, head.size()), head);
  }
}

}  // namespace
}  // namespace talvo
