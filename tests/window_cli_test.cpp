// The game's window from the command line: check --window pointing at what
// does not fit, wrap making a whole English-like script fit with the same
// words, preview's pictures read back cell by cell and its index page in a
// real browser; refusals and hostile font sheets.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>

#include "image_builder.h"
#include "page_renderer.h"
#include "png_image.h"
#include "support/process.h"
#include "support/sjis.h"
#include "support/talvo_cli.h"
#include "support/test_font_sheet.h"
#include "token_tables.h"

namespace talvo {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr std::uint16_t kSpace = 0x200, kLine = 0x0AD, kPage = 0x0AF, kEnd = 0x0AC;

// The message code of a full-width letter.
std::uint16_t letter(char c) {
  const std::string utf8 = {static_cast<char>(0xEF), static_cast<char>(0xBC), static_cast<char>(0xA1 + (c - 'A'))};
  return *find_message_code(to_sjis(utf8));
}

using Message = std::vector<std::uint16_t>;

// The message file the extractor writes for `messages`, the rest of the
// 4047 one character each.
std::string message_file(std::vector<Message> messages) {
  builder::ImageContent content = builder::sample_content();
  content.messages = std::move(messages);
  content.messages.resize(4047, Message{letter('A'), kEnd});
  return builder::expected_message_text(content);
}

Message words(const std::string& text) {  // "AB CD|EF/G": a space, a line break, a page turn
  Message codes;
  for (char c : text) codes.push_back(c == ' ' ? kSpace : c == '|' ? kLine : c == '/' ? kPage : letter(c));
  codes.push_back(kEnd);
  return codes;
}

std::vector<std::string> lines_with(const std::string& text, const std::string& part) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.find(part) != std::string::npos) out.push_back(line);
  }
  return out;
}

const std::vector<std::string> kWindow = {"--window", "16x3", "--page-code", "[00AF]"};

std::vector<std::string> with_window(std::vector<std::string> arguments) {
  arguments.insert(arguments.end(), kWindow.begin(), kWindow.end());
  return arguments;
}

TEST(CheckWindow, WarnsAtTheFirstCharacterThatDoesNotFitAndTheFirstLineTooMany) {
  TempFolder folder;
  // Message 1 stands on line 5 of the file, message 2 on lines 8-14, message 3 on 17-18.
  write_file(folder / "MsgDataDecode.txt",
             message_file({words("A"), words("ABCDEFGHIJKLMNOPQRS"), words("A|B|C|D/E|F|G"),
                           words("ABC DEFG|HIJKLMNOPQRSTUVWXYZAB")}));
  const ProcessResult run = talvo(with_window({"check", "MsgDataDecode.txt"}), folder.path());
  EXPECT_EQ(run.exit_status, 0) << run.err;  // warnings only
  EXPECT_EQ(lines_with(run.err, "window holds"),
            (std::vector<std::string>{
                "MsgDataDecode.txt:5:17: warning: line is 19 tiles wide; the window holds 16",
                "MsgDataDecode.txt:11:1: warning: page has 4 lines; the window holds 3",
                "MsgDataDecode.txt:18:17: warning: line is 21 tiles wide; the window holds 16",
            }));
  EXPECT_NE(run.err.find("talvo: 0 errors, 3 warnings"), std::string::npos) << run.err;
}

TEST(CheckWindow, InPixelsTakesEachCodesWidthAndNamesACharacterWithoutOneOnce) {
  TempFolder folder;
  write_file(folder / "MsgDataDecode.txt", message_file({words("AAAA BB"), words("C")}));
  // A and the space 10 pixels, B 20; C has none.
  write_file(folder / "widths.txt", "# the redrawn font\n4C1=10\n200=10\n4DC=20\n");
  const ProcessResult run =
      talvo({"check", "MsgDataDecode.txt", "--window", "80x3", "--widths", "widths.txt"}, folder.path());
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(lines_with(run.err, "MsgDataDecode.txt:"),
            (std::vector<std::string>{
                "MsgDataDecode.txt:2:7: warning: line is 90 pixels wide; the window holds 80",
                "MsgDataDecode.txt:5:1: error: no width for 'Ｃ' (0x4ED) in widths.txt; give it a line 4ED=PIXELS",
            }))
      << run.err;
  write_file(folder / "bad.txt", "4C1=10\n4C1=12\n");
  const ProcessResult bad =
      talvo({"check", "MsgDataDecode.txt", "--window", "80x3", "--widths", "bad.txt"}, folder.path());
  EXPECT_EQ(bad.exit_status, 1);
  EXPECT_EQ(bad.err, "talvo: bad.txt:2: code 4C1 is given a width twice\n");
}

// An English-like script: words of full-width letters, spaces between
// them, line breaks where a translator put them, now and then a page turn.
std::vector<Message> english_script(std::uint64_t seed) {
  static const char* const kWords[] = {"WELCOME", "TO",    "SERA",     "THE",       "PORT", "TOWN", "WHERE",
                                       "SHIPS",   "FROM",  "EVERY",    "SEA",       "COME", "IN",   "YOUR",
                                       "ROOM",    "IS",    "UPSTAIRS", "TRAVELLER", "A",    "KEY",  "OF",
                                       "IRON",    "OPENS", "NORTH",    "GATE"};
  std::mt19937_64 rng(seed);
  std::vector<Message> script;
  for (std::size_t n = 0; n < 4047; ++n) {
    std::string text;
    const std::size_t count = 1 + rng() % 24;
    for (std::size_t w = 0; w < count; ++w) {
      if (w > 0) text += rng() % 6 == 0 ? (rng() % 4 == 0 ? "/" : "|") : " ";
      text += kWords[rng() % std::size(kWords)];
    }
    script.push_back(words(text));
  }
  return script;
}

// The words of every message of a file, pages and lines apart.
std::vector<std::vector<std::string>> script_words(const std::string& file) {
  std::vector<std::vector<std::string>> out;
  std::string word;
  const std::string space = to_sjis("\xE3\x80\x80");
  for (std::size_t i = 0; i < file.size();) {
    if (file[i] == '(') {
      out.emplace_back();
      i = file.find(')', i) + 1;
    } else if (file[i] == '[' || file[i] == '\n' || file.compare(i, 2, space) == 0) {
      if (!word.empty()) out.back().push_back(word);
      word.clear();
      i = file[i] == '[' ? file.find(']', i) + 1 : file[i] == '\n' ? i + 1 : i + 2;
    } else {
      word += file.substr(i, 2);
      i += 2;
    }
  }
  return out;
}

TEST(Wrap, MakesAWholeEnglishScriptFitWithTheSameWords) {
  TempFolder folder;
  const std::string text = message_file(english_script(21));
  write_file(folder / "MsgDataDecode.txt", text);
  const ProcessResult before = talvo(with_window({"check", "MsgDataDecode.txt"}), folder.path());
  ASSERT_NE(before.err.find("window holds"), std::string::npos);
  const ProcessResult run =
      talvo(with_window({"wrap", "MsgDataDecode.txt", "-o", "MsgDataWrapped.txt"}), folder.path());
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.err.find("talvo: re-wrapped "), std::string::npos);
  const ProcessResult after = talvo(with_window({"check", "MsgDataWrapped.txt"}), folder.path());
  EXPECT_EQ(after.exit_status, 0);
  EXPECT_EQ(after.err, "talvo: 0 errors, 0 warnings\n");
  const std::string wrapped = read_file(folder / "MsgDataWrapped.txt");
  EXPECT_EQ(script_words(wrapped), script_words(text));
  EXPECT_EQ(read_file(folder / "MsgDataDecode.txt"), text);  // the input as it was
  // The same from a UTF-8 working copy with CR LF line ends.
  const ProcessResult copy =
      run_process({"/bin/sh", "-c", "iconv -f CP932 -t UTF-8 MsgDataDecode.txt | sed 's/$/\\r/' > MsgDataUtf8.txt"},
                  folder.path(), "");
  ASSERT_EQ(copy.exit_status, 0);
  ASSERT_EQ(talvo(with_window({"wrap", "MsgDataUtf8.txt", "--encoding", "utf8", "-o", "MsgDataUtf8Wrapped.txt"}),
                  folder.path())
                .exit_status,
            0);
  const ProcessResult back = run_process(
      {"/bin/sh", "-c", "tr -d '\\r' < MsgDataUtf8Wrapped.txt | iconv -f UTF-8 -t CP932"}, folder.path(), "");
  EXPECT_TRUE(back.out == wrapped);
}

TEST(Wrap, LeavesWhatFitsAsItIsUnlessAskedAndTakesTheEntriesNamed) {
  TempFolder folder;
  write_file(folder / "MsgDataDecode.txt",
             message_file({words("AB|CD"), words("ABCDEFGHIJKLMNOPQRSTU"), words("EF|GH")}));
  ASSERT_EQ(talvo(with_window({"wrap", "MsgDataDecode.txt", "-o", "a.txt"}), folder.path()).exit_status, 0);
  const std::string a = read_file(folder / "a.txt");
  EXPECT_NE(a.find(to_sjis("ＡＢ[00AD]\nＣＤ[00AC]")), std::string::npos);
  EXPECT_NE(a.find(to_sjis("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰ[00AD]\nＱＲＳＴＵ[00AC]")), std::string::npos);
  ASSERT_EQ(
      talvo(with_window({"wrap", "MsgDataDecode.txt", "--entries", "0x2", "-o", "b.txt"}), folder.path()).exit_status,
      0);
  const std::string b = read_file(folder / "b.txt");
  EXPECT_NE(b.find(to_sjis("ＡＢ[00AD]\nＣＤ[00AC]")), std::string::npos);
  EXPECT_NE(b.find(to_sjis("ＥＦＧＨ[00AC]")), std::string::npos);  // text without spaces: joined with nothing
  EXPECT_NE(b.find(to_sjis("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵ[00AC]")), std::string::npos);  // not named
}

TEST(Wrap, NeverReplacesTheTranslatorsTextAndRefusesWhatItCannotDo) {
  TempFolder folder;
  const std::string text = message_file({words("ABCDEFGHIJKLMNOPQRSTU")});
  write_file(folder / "MsgDataDecode.txt", text);
  write_file(folder / "StrDataDecode.txt", "(0x0000)[AC]\n");
  write_file(folder / "kept.txt", "a week of work\n");
  write_file(folder / "MsgDataBroken.txt", to_sjis("(0x0000)\nＡ\n"));
  struct Case {
    std::vector<std::string> arguments;
    int status;
    const char* says;
  };
  const Case cases[] = {
      {with_window({"wrap", "MsgDataDecode.txt", "-o", "kept.txt"}), 1,
       "talvo: kept.txt: exists and holds something else; give --force to replace it"},
      {with_window({"wrap", "MsgDataDecode.txt", "-o", "MsgDataDecode.txt", "--force"}), 2, "would replace the input"},
      {with_window({"wrap", "StrDataDecode.txt", "-o", "out.txt"}), 2, "wrap re-wraps message files"},
      {{"wrap", "MsgDataDecode.txt", "--window", "16x3", "-o", "out.txt"}, 2, "wrap needs --page-code TOKEN"},
      {{"wrap", "MsgDataDecode.txt", "--page-code", "[00AF]", "-o", "out.txt"},
       2,
       "give the game's window with --window"},
      {with_window({"wrap", "MsgDataDecode.txt", "--line-code", "[0010]", "-o", "out.txt"}), 2,
       "the game breaks no line there"},
      {with_window({"wrap", "MsgDataDecode.txt", "--page-code", "[00AC]", "-o", "out.txt"}), 2, "it ends the message"},
      {with_window({"wrap", "MsgDataDecode.txt", "--page-code", "[0FFF]", "-o", "out.txt"}), 2,
       "no code of the message table"},
      {with_window({"wrap", "MsgDataDecode.txt", "--entries", "0x20-0x10", "-o", "out.txt"}), 2,
       "the last entry comes before the first"},
      {with_window({"wrap", "MsgDataDecode.txt", "--entries", "5000", "-o", "out.txt"}), 2,
       "the file has 4047 entries"},
      {with_window({"wrap", "MsgDataDecode.txt", "--all", "--entries", "1", "-o", "out.txt"}), 2, "excludes"},
      {{"wrap", "MsgDataDecode.txt", "--window", "16x0", "--page-code", "[00AF]", "-o", "out.txt"},
       2,
       "expected WIDTHxLINES"},
      {with_window({"wrap", "MsgDataBroken.txt", "-o", "out.txt"}), 1, "mend its errors first"},
      {with_window({"wrap", "MsgDataDecode.txt", "--widths", "kept.txt", "-o", "out.txt"}), 1,
       "kept.txt:1: expected HEX=PIXELS"},
  };
  for (const Case& c : cases) {
    const ProcessResult run = talvo(c.arguments, folder.path());
    EXPECT_EQ(run.exit_status, c.status) << c.says << "\n" << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(folder / "out.txt"));
  EXPECT_EQ(read_file(folder / "kept.txt"), "a week of work\n");
  EXPECT_EQ(read_file(folder / "MsgDataDecode.txt"), text);
  ASSERT_EQ(talvo(with_window({"wrap", "MsgDataDecode.txt", "-o", "kept.txt", "--force"}), folder.path()).exit_status,
            0);
  EXPECT_NE(read_file(folder / "kept.txt"), "a week of work\n");
}

preview::FontSheet every_code_sheet() {
  preview::FontSheet sheet;
  EXPECT_EQ(preview::make_font_sheet(test_font_sheet(16, 16, 65), 16, 16, 0x200, sheet), "");
  return sheet;
}

TEST(Preview, PagesReadBackCellByCellHoldTheEntrysCodesLineByLine) {
  TempFolder folder;
  const preview::FontSheet sheet = every_code_sheet();
  write_file(folder / "sheet.png", bytes(preview::write_png(sheet.image)));
  std::vector<Message> script = english_script(7);
  script[3] = words("ABCDEFGHIJKLMNOPQRSTUVWXYZ|A|B|C|D");  // too wide and too tall: drawn in full
  write_file(folder / "MsgDataDecode.txt", message_file(script));
  const ProcessResult run = talvo(with_window({"preview", "MsgDataDecode.txt", "--font", "sheet.png", "--cell", "16x16",
                                               "--first-code", "200", "--entries", "0-0x1F", "-o", "out/pages"}),
                                  folder.path());
  ASSERT_EQ(run.exit_status, 0) << run.err;
  for (std::size_t n = 0; n < 0x20; ++n) {
    // Lines as the game ends them, pages after each page code.
    std::vector<std::vector<Message>> pages(1, std::vector<Message>(1));
    for (std::uint16_t code : script[n]) {
      if (code >= 0x200) pages.back().back().push_back(code);
      if (code == kLine || code == kEnd || code == kPage) pages.back().emplace_back();
      if (code == kPage) pages.emplace_back(1);
    }
    for (auto& page : pages) page.pop_back();
    for (std::size_t p = 0; p < pages.size(); ++p) {
      char name[64];
      std::snprintf(name, sizeof name, "msg-%04zX-%zu.png", n, p + 1);
      const preview::PngRead read = preview::read_png([&] {
        const std::string png = read_file(folder / "out" / "pages" / name);
        return std::vector<std::uint8_t>(png.begin(), png.end());
      }());
      ASSERT_EQ(read.error, "") << name;
      for (std::size_t k = 0; k < pages[p].size(); ++k) {
        Message found;
        for (std::uint32_t x = 0; x < read.image.width; x += 16) {
          if (const auto code = code_in_tile(read.image, x, static_cast<std::uint32_t>(k * 16), sheet))
            found.push_back(*code);
        }
        EXPECT_EQ(found, pages[p][k]) << name << " line " << k + 1;
      }
      EXPECT_EQ(read.image.height, std::max<std::size_t>(3, pages[p].size()) * 16) << name;
    }
    char name[32];
    std::snprintf(name, sizeof name, "msg-%04zX-%zu.png", n, pages.size() + 1);
    EXPECT_FALSE(fs::exists(folder / "out" / "pages" / name));
  }
  EXPECT_FALSE(fs::exists(folder / "out" / "pages" / "msg-0020-1.png"));
  const std::string index = read_file(folder / "out" / "pages" / "index.html");
  EXPECT_NE(index.find("<figure class=\"over\"><img src=\"msg-0003-1.png\""), std::string::npos);
  EXPECT_NE(index.find("line is 26 tiles wide; the window holds 16"), std::string::npos);
  EXPECT_NE(index.find("page has 5 lines; the window holds 3"), std::string::npos);
}

TEST(Preview, RefusesAFontSheetItCannotUseAndWritesNothing) {
  TempFolder folder;
  write_file(folder / "MsgDataDecode.txt", message_file({words("AB")}));
  const std::string good = bytes(preview::write_png(test_font_sheet(16, 16, 65)));
  write_file(folder / "text.png", "not a picture\n");
  write_file(folder / "cut.png", good.substr(0, good.size() / 3));
  write_file(folder / "small.png", bytes(preview::write_png(test_font_sheet(16, 16, 2))));  // codes 0x200-0x21F
  std::string huge = good;
  for (int i = 0; i < 2; ++i) {  // 100000 x 100000 pixels declared
    for (int b = 0; b < 4; ++b) huge[16 + 4 * i + b] = static_cast<char>(100000u >> (24 - 8 * b));
  }
  write_file(folder / "huge.png", huge);
  struct Case {
    const char* sheet;
    const char* says;
  };
  const Case cases[] = {
      {"text.png", "talvo: text.png: not a PNG picture"},
      {"cut.png", "talvo: cut.png: a damaged or cut-short PNG"},
      {"huge.png", "talvo: huge.png: a PNG of 100000x100000 pixels, beyond what is read"},
      {"missing.png", "talvo: missing.png: No such file or directory"},
      {"small.png",
       "MsgDataDecode.txt:2:1: error: 'Ａ' (0x4C1) has no cell in small.png: its 32 cells hold codes "
       "0x200-0x21F"},
  };
  for (const Case& c : cases) {
    const ProcessResult run = talvo(with_window({"preview", "MsgDataDecode.txt", "--font", c.sheet, "--cell", "16x16",
                                                 "--first-code", "200", "-o", "out"}),
                                    folder.path());
    EXPECT_EQ(run.exit_status, 1) << c.sheet;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(folder / "out")) << c.sheet;
  }
  const ProcessResult cell = talvo({"preview", "MsgDataDecode.txt", "--font", "small.png", "-o", "out"}, folder.path());
  EXPECT_EQ(cell.exit_status, 1);
  EXPECT_NE(cell.err.find("needs the size of its cells and the code of its first"), std::string::npos) << cell.err;
}

// The index page in a real browser: headless Chromium takes a screenshot,
// which must show the pages' pictures (their window colour), loaded from
// beside the page with nothing from outside.
TEST(Preview, TheIndexPageShowsThePicturesInABrowser) {
  if (!fs::exists("/usr/bin/chromium")) {
    if (std::getenv("CI") != nullptr) FAIL() << "chromium is missing (scripts/browser_deps.sh installs it)";
    GTEST_SKIP() << "chromium is missing: scripts/browser_deps.sh installs it";
  }
  TempFolder folder;
  write_file(folder / "MsgDataDecode.txt", message_file(english_script(3)));
  ASSERT_EQ(talvo(with_window({"preview", "MsgDataDecode.txt", "--entries", "0-5", "-o", "pages"}), folder.path())
                .exit_status,
            0);
  fs::create_directories(folder / "profile");
  const ProcessResult shot = run_process(
      {"/usr/bin/chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
       "--disable-background-networking", "--disable-component-update", "--disable-sync",
       "--user-data-dir=" + (folder / "profile").string(), "--window-size=1000,800",
       "--screenshot=" + (folder / "shot.png").string(), "file://" + (folder / "pages" / "index.html").string()},
      folder.path(), "");
  ASSERT_EQ(shot.exit_status, 0) << shot.err;
  const std::string png = read_file(folder / "shot.png");
  const preview::PngRead read = preview::read_png(std::vector<std::uint8_t>(png.begin(), png.end()));
  ASSERT_EQ(read.error, "");
  std::size_t window = 0;
  for (const preview::Rgba& pixel : read.image.pixels) window += pixel == preview::kWindowColour;
  // Six entries' pages of 256 x 48 pixels, most of each the window's colour.
  EXPECT_GT(window, 20000u);
}

}  // namespace
}  // namespace talvo
