// Both token tables, every entry, against a rendering of the game's
// character list written here in UTF-8 and converted through the C
// library's code page 932 converter.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "code_lookup.h"
#include "support/sjis.h"
#include "token_tables.h"

namespace talvo {
namespace {

using testing::to_sjis;

// Message codes from 0x200 on, 32 to a row; [..] and "--" are one code each.
const std::vector<std::pair<unsigned, std::string>> kMessageRows = {
    {0x200, "　愛悪安暗闇栄永英駅演炎縁遠波派敗背配売漠爆箱肌畑発抜判半反版晩"},
    {0x220, "番兵柄並壁別変返便勉弁妃彼悲扉疲皮秘備美彦必姫標氷表病品保歩墓母"},
    {0x240, "報宝放方法砲訪坊忘暴望防北牧本付夫婦布敷浮父負武舞部封復服福腹仏"},
    {0x260, "物分粉文以位偉意移遺井育印飲隠仮何価家架歌河火花荷過我介会解怪改"},
    {0x280, "海界皆絵外涯格確覚革学楽額割活官感慣換敢甘観鑑丸岸眼岩顔願係刑形"},
    {0x2A0, "恵景系経警劇撃欠決結件健券剣犬研肩見賢険験原源現言限危寄希机期機"},
    {0x2C0, "気祈貴技義議客逆休急救求泣球究牛去居挙許距魚供共協強教橋胸興鏡驚"},
    {0x2E0, "業禁筋近金吟銀個古呼庫湖後御護交光効向好孝幸広康攻更港考航荒行鋼"},
    {0x300, "降高号合告獄骨込頃今婚根喰窟君魔埋枚毎万慢満命迷味未岬密民眠木戻"},
    {0x320, "問門夢無娘内南猫熱年念虹任忍認悩能脳汚奥押黄屋憶音来頼絡落嵐令例"},
    {0x340, "礼霊歴列劣恋練連利履理里離陸率立流竜侶旅料良緑労牢老録涙類左差砂"},
    {0x360, "座最塞妻才災祭細在材罪財作策札殺雑参産算残瀬制征性成政整清精聖青"},
    {0x380, "静税昔積責赤切接設説雪絶先専川戦泉浅洗線船選前然全使史始姉姿子市"},
    {0x3A0, "志支私糸紙詩試事似字持時次治示耳式識七失室質実捨社者謝邪若弱主取"},
    {0x3C0, "守手殊種酒受呪修終習舟集住十重宿祝出術春準盾順初所書助女傷勝商唱"},
    {0x3E0, "将小少床招沼照省称章笑粧紹賞丈乗城場情条杖状飾色食伸信侵寝慎新森"},
    {0x400, "深真神親診身進震陣祖素組僧創倉想早争相草葬装走送像憎造側息束足属"},
    {0x420, "賊族続存損村吹水数他多太打体対耐待態替袋退代台大題達脱誰単探胆誕"},
    {0x440, "壇断段男談低定底庭弟敵的笛鉄展店転点伝殿値知地池置茶着中仲忠昼注"},
    {0x460, "虫兆張挑朝町調超長頂鳥直沈渡登途都努度土奴怒倒党凍塔島投東盗湯灯"},
    {0x480, "等答筒逃透頭闘働動洞胴道銅得特毒読突追痛通右運雲和話惑腕夜野矢役"},
    {0x4A0, "約薬予与預幼妖様用羊葉踊陽欲勇友幽有由遊雄０２３４５６７８９トリ"},
    {0x4C0, "１ＡＨＫＮＱＲＴＶＺ゜△※きそちはまもらるろをんノヒレワＢＥＦＬ"},
    {0x4E0, "ＯＰＳうくさしじとよりミヲＣＤＧＪ＊メＩＭＷＸＹ＋ざぢどねひふぶ"},
    {0x500, "みめれわセムル血玉口工王三正西Ｕあえおかけすせただなべむやゆ♪ア"},
    {0x520, "シツテラ日[Ex]（）′。″・ぃ？！ウカ゛--々×ー～→／[10]がぱぴぽギゲ"},
    {0x540, "ゴザズゾダヂヅバパビブプベボポ温…”》『「』ょィ－へ％ぺオキケチ"},
    {0x560, "ナ月巨入臣人＆イクタド★馬八平閉辺飛ぷ亡不風聞囲異[Lv]下化果牙回灰"},
    {0x580, "開階間関ガグサネピホヤヴ兄穴元器帰記起恐局戸故語国困苦具空軍面応"},
    {0x5A0, "恩両山世星生声石千仕士思指止死囚周上冗心図天同雨要○ぁぉォッャ買"},
    {0x5C0, "泊冒員引加枯名明力首消象当白目呂自申いのハモぅぇゥぎぐごずぞづぬ"},
    {0x5E0, "ばびぼジゼデげぜでこっゃゅァつエてマンにほ：コスソヌフロ暮一[Heart]ェ"},
    {0x600, "ニユヘペ鍵極滅職ュョヨ了"},
};

// Byte codes, 16 to a row, separated by ASCII spaces.
const std::vector<std::pair<unsigned, std::string>> kByteRows = {
    {0x00, "[00] 　 ／ [03] [04] ： [06] [07] － ＊ ％ ・ あ い う え"},
    {0x10, "お か き く け こ さ し す せ そ た ち つ て と"},
    {0x20, "な に ぬ ね の は ひ ふ へ ほ ま み む め も や"},
    {0x30, "ゆ よ ら り る れ ろ わ を ん ぁ ぃ ぅ ぇ ぉ っ"},
    {0x40, "ゃ ゅ ょ ア イ ウ エ オ カ キ ク ケ コ サ シ ス"},
    {0x50, "セ ソ タ チ ツ テ ト ナ ニ ヌ ネ ノ ハ ヒ フ ヘ"},
    {0x60, "ホ マ ミ ム メ モ ヤ ユ ヨ ラ リ ル レ ロ ワ ヲ"},
    {0x70, "ン ァ ィ ゥ ェ ォ ッ ャ ュ ョ [7A] [7B] ★ ー ？ ！"},
    {0x80, "[80] [81] [82] 。 ． 「 … ０ １ ２ ３ ４ ５ ６ ７ ８"},
    {0x90, "９ Ａ Ｂ Ｃ Ｄ Ｅ Ｆ Ｇ Ｈ Ｉ Ｊ Ｋ Ｌ Ｍ Ｎ Ｏ"},
    {0xA0, "Ｐ Ｑ Ｒ Ｓ Ｔ Ｕ Ｖ Ｗ Ｘ Ｙ Ｚ [AB] [AC] [AD] [AE] [AF]"},
    {0xB0, "[B0] [B1] [B2] [B3] [B4] [B5] [B6] [B7] [B8] [B9] [BA] [BB] [BC] [BD] [BE] [BF]"},
    {0xC0, "[C0] [C1] [C2] [C3] [C4] [C5] [C6] [C7] [C8] が ぎ ぐ げ ご ざ じ"},
    {0xD0, "ず ぜ ぞ だ ぢ づ で ど ば び ぶ べ ぼ ヴ ガ ギ"},
    {0xE0, "グ ゲ ゴ ザ ジ ズ ゼ ゾ ダ ヂ ヅ デ ド バ ビ ブ"},
    {0xF0, "ベ ボ ぱ ぴ ぷ ぺ ぽ パ ピ プ ペ ポ ～ ＋ [FE] [FF]"},
};

// Splits a UTF-8 row into its tokens: a bracketed token or "--" is one.
std::vector<std::string> split_row(const std::string& row) {
  std::vector<std::string> tokens;
  for (std::size_t i = 0; i < row.size();) {
    std::size_t end = i + 1;
    if (row[i] == '[') {
      end = row.find(']', i) + 1;
    } else if (row.compare(i, 2, "--") == 0) {
      end = i + 2;
    } else {
      while (end < row.size() && (static_cast<unsigned char>(row[end]) & 0xC0) == 0x80) ++end;
    }
    tokens.push_back(row.substr(i, end - i));
    i = end;
  }
  return tokens;
}

std::vector<std::string> expected_message_tokens() {
  std::vector<std::string> tokens;
  for (unsigned code = 0; code < 0x200; ++code) {
    char text[16];
    std::snprintf(text, sizeof text, "[%04X]", code);
    tokens.push_back(std::string(text) + (code >= 0xAC && code <= 0xAF ? "\n" : ""));
  }
  for (const auto& [first, row] : kMessageRows) {
    EXPECT_EQ(first, tokens.size());
    for (const std::string& token : split_row(row)) tokens.push_back(to_sjis(token));
  }
  return tokens;
}

std::vector<std::string> expected_byte_tokens() {
  std::vector<std::string> tokens;
  for (const auto& [first, row] : kByteRows) {
    EXPECT_EQ(first, tokens.size());
    std::size_t start = 0;
    while (start < row.size()) {
      const std::size_t end = std::min(row.find(' ', start), row.size());
      tokens.push_back(to_sjis(row.substr(start, end - start)));
      start = end + 1;
    }
  }
  return tokens;
}

std::string encoding_form(std::string token) {
  if (!token.empty() && token.back() == '\n') token.pop_back();
  if (token.size() > 2 && token.front() == '[') token = token.substr(1, token.size() - 2);
  return token;
}

TEST(TokenTables, EveryMessageTokenMatchesTheCharacterList) {
  const std::vector<std::string> expected = expected_message_tokens();
  ASSERT_EQ(expected.size(), kMessageCodeCount);
  for (std::size_t code = 0; code < kMessageCodeCount; ++code) {
    char token[kMessageTokenSlot];
    const std::size_t length = message_token(static_cast<std::uint16_t>(code), token);
    EXPECT_EQ(std::string(token, length), expected[code]) << "code " << std::hex << code;
    EXPECT_EQ(std::string(message_encoding_table()[code].data()), encoding_form(expected[code]))
        << "code " << std::hex << code;
  }
}

TEST(TokenTables, EveryByteTokenMatchesTheCharacterList) {
  const std::vector<std::string> expected = expected_byte_tokens();
  ASSERT_EQ(expected.size(), kByteCodeCount);
  int control_tokens = 0;
  for (std::size_t code = 0; code < kByteCodeCount; ++code) {
    char token[kByteTokenSlot];
    const std::size_t length = byte_token(static_cast<std::uint8_t>(code), token);
    EXPECT_EQ(std::string(token, length), expected[code]) << "code " << std::hex << code;
    EXPECT_EQ(std::string(byte_encoding_table()[code].data()), encoding_form(expected[code]));
    control_tokens += token[0] == '[';
  }
  EXPECT_EQ(control_tokens, 42);
}

TEST(TokenTables, NoTokenOccursTwice) {
  for (const auto& expected : {expected_message_tokens(), expected_byte_tokens()}) {
    std::vector<std::string> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  }
}

TEST(TokenTables, ExtractionFormEdges) {
  char token[kMessageTokenSlot];
  EXPECT_EQ(message_token(0x0AC, token), 7u);
  EXPECT_STREQ(token, "[00AC]\n");
  EXPECT_EQ(message_token(0x0AB, token), 6u);
  EXPECT_STREQ(token, "[00AB]");
  message_token(0x200, token);
  EXPECT_STREQ(token, "\x81\x40");
  message_token(0x5FE, token);
  EXPECT_STREQ(token, "[Heart]");
  message_token(0x532, token);
  EXPECT_STREQ(token, "--");
}

struct FindCase {
  const char* text;
  std::optional<std::uint16_t> message;
  std::optional<std::uint8_t> byte;
};

TEST(TokenTables, FindsAreExactAndCaseSensitive) {
  const FindCase cases[] = {
      {"10", 0x539, std::nullopt},
      {"0010", 0x010, std::nullopt},
      {"00ac", std::nullopt, std::nullopt},
      {"00AC", 0x0AC, std::nullopt},
      {"AC", std::nullopt, 0xAC},
      {"[AC]", std::nullopt, std::nullopt},
      {"--", 0x532, std::nullopt},
      {"-", std::nullopt, std::nullopt},
      {"Heart", 0x5FE, std::nullopt},
      {"Hear", std::nullopt, std::nullopt},
      {"Hearts", std::nullopt, std::nullopt},
      {"HEART", std::nullopt, std::nullopt},
      {"Ex", 0x525, std::nullopt},
      {"Lv", 0x579, std::nullopt},
      {"", std::nullopt, std::nullopt},
      {"\x81\x60", 0x536, 0xFC},  // ～, code page 932's full-width tilde
      {"\x81\x7C", 0x558, 0x08},  // －, code page 932's full-width hyphen-minus
      {"\x82\xA0", 0x510, 0x0C},  // あ has a different code in each table
      {"\x81\x5B", 0x535, 0x7D},  // ー, whose second byte is "["
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(find_message_code(c.text), c.message) << c.text;
    EXPECT_EQ(find_byte_code(c.text), c.byte) << c.text;
  }
}

// The direct lookup must answer what a search from code 0 upward answers.
template <typename Table>
void expect_lookup_matches_search(const Table& table, const CodeLookup& lookup) {
  auto search = [&](std::string_view text) -> std::optional<std::uint16_t> {
    for (std::size_t code = 0; code < table.size(); ++code) {
      if (text == std::string_view(table[code].data())) return static_cast<std::uint16_t>(code);
    }
    return std::nullopt;
  };
  for (std::size_t code = 0; code < table.size(); ++code) {
    const std::string_view token(table[code].data());
    EXPECT_EQ(lookup.find(token), search(token));
    for (std::size_t cut = 1; cut < token.size(); ++cut)
      EXPECT_EQ(lookup.find(token.substr(0, cut)), search(token.substr(0, cut)));
    EXPECT_EQ(lookup.find(std::string(token) + "A"), search(std::string(token) + "A"));
  }
  for (unsigned first = 0; first < 256; ++first) {
    for (unsigned second = 1; second < 256; ++second) {
      const char pair[2] = {static_cast<char>(first), static_cast<char>(second)};
      const auto found = search(std::string_view(pair, 2));
      EXPECT_EQ(lookup.find_pair(static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(second)),
                found.value_or(CodeLookup::kNone));
    }
  }
}

TEST(TokenTables, DirectLookupAgreesWithSearch) {
  expect_lookup_matches_search(message_encoding_table(), message_code_lookup());
  expect_lookup_matches_search(byte_encoding_table(), byte_code_lookup());
}

}  // namespace
}  // namespace talvo
