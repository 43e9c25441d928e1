// The bundled sample: a short story of our own (a traveller, Raul, reaches a
// port town and helps an innkeeper's daughter), with item names and battle
// lines. The texts are UTF-8 here and go through CP932 into the game's codes,
// so a sentence using a character missing from its table is caught at once.
#include <iconv.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "banks.h"
#include "image_builder.h"
#include "rom_layout.h"
#include "token_tables.h"

namespace talvo::builder {
namespace {

constexpr std::uint16_t kLineBreak = 0x0AD;

// Line breaks are written "\n".
constexpr const char* kMessages[] = {
    "ラウル：\nようやく　みなとの　町に　ついたぞ。",
    "ようこそ！　ここは　みなとの　町\nセラです。",
    "いらっしゃい！\nなにを　おもとめですか？",
    "やくそうは　ひとつ　８ゴールドだよ。",
    "この　剣は　とても　よく　きれるぞ。\n１２０ゴールドだ。",
    "ありがとう！\nまた　きてくださいね。",
    "おかねが　たりないようだね。",
    "もちものが　いっぱいだよ。",
    "宿に　とまりますか？\nひとばん　１０ゴールドです。",
    "おやすみなさい。\nよい　ゆめを！",
    "おはようございます。\nゆうべは　よく　ねむれましたか？",
    "ミナ：\nわたしの　父さんが　北の　森へ\nいったきり　もどらないの。",
    "北の　森には　魔物が　すんでいる。\n気を　つけて　いきなさい。",
    "王さまが　旅人を　さがしているらしい。",
    "むかし　あの　山には\n竜が　すんでいたそうだ。",
    "ふねに　のりたいなら\nみなとの　東へ　いきなさい。",
    "とびらには　鍵が　かかっている。",
    "たからばこを　あけた！\nなかには　ふるい　ちずが　はいっていた。",
    "はしが　こわれていて\nむこうへ　わたれない。",
    "ふしぎな　光が　あたりを　つつんだ。",
    "ぼうけんの　記録を　のこしますか？",
    "記録　しました。",
    "老人：\nこの　井戸の　水は　むかしから　あまいのじゃ。",
    "少女：\nねこを　みなかった？　しろい　ねこなの。",
    "兵士：\nここから　さきは　城です。\nとおす　わけには　いきません。",
    "ラウル：\nミナの　父さんを　さがしに　いこう。",
    "森の　おくで　ちいさな　小屋を　みつけた。",
    "ミナの　父：\nたすかった！　足を　けがして\nうごけなかったんだ。",
    "ミナ：\nありがとう　ラウル！\nこの　ゆびわを　もっていって。",
    "つぎの　町までは　３日　かかるよ。",
    "きょうは　いい　天気ですね。",
    "ひがしの　村で　まつりが　あるそうだ。",
    "ＨＰが　ぜんかいした！",
    "レベルが　あがった！",
    "ラウル：\nさあ　つぎの　旅へ　でかけよう。",
};

constexpr const char* kFixedStrings[] = {
    "やくそう",     "どくけしそう",   "ながいぼう",     "ちいさなナイフ", "てつのけん",     "かわのたて",
    "きのぼうし",   "たびびとのふく", "まほうのつえ",   "ぎんのゆびわ",   "ほしのかけら",   "ふるいちず",
    "あおいくすり", "あかいくすり",   "パン",           "ミルク",         "ロープ",         "ランタン",
    "とびらのかぎ", "ミナのゆびわ",   "みなとまちセラ", "きたのもり",     "りゅうのやま",   "ひがしのむら",
    "おしろ",       "つよさ",         "もちもの",       "そうび",         "じゅもん",       "しらべる",
    "はなす",       "ぼうけんのしょ", "ＨＰ",           "ＭＰ",           "ちから",         "すばやさ",
    "まもり",       "ゴールド",       "ひのたま",       "こおりのや",     "いやしのひかり", "かぜのまもり",
};

constexpr const char* kMonsters[] = {
    "おおねずみ", "いわトカゲ", "もりのオオカミ", "ゴブリン", "おおこうもり", "おばけキノコ", "やまのりゅう",
};

struct BattleLine {
  const char* before;
  const char* after;
};
constexpr BattleLine kBattleLines[] = {
    {"", "が　あらわれた！"}, {"", "の　こうげき！"},     {"", "は　にげだした！"},
    {"", "を　やっつけた！"}, {"", "は　ねむっている。"}, {"ラウルは　", "に　８の　ダメージを　あたえた！"},
};

constexpr const char* kFullWidthDigits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};

std::string full_width_number(std::size_t n) {
  const std::string rest = n >= 10 ? full_width_number(n / 10) : "";
  return rest + kFullWidthDigits[n % 10];
}

class Cp932 {
 public:
  Cp932() : cd_(iconv_open("CP932", "UTF-8")) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert UTF-8 to CP932 here");
  }
  ~Cp932() { iconv_close(cd_); }
  Cp932(const Cp932&) = delete;
  Cp932& operator=(const Cp932&) = delete;

  // The CP932 bytes of one UTF-8 character, or nothing if it has none.
  std::optional<std::string> convert(std::string character) {
    char out[8];
    char* in_at = character.data();
    std::size_t in_left = character.size();
    char* out_at = out;
    std::size_t out_left = sizeof out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd_, &in_at, &in_left, &out_at, &out_left) == static_cast<std::size_t>(-1) || in_left != 0) {
      return std::nullopt;
    }
    return std::string(out, static_cast<std::size_t>(out_at - out));
  }

 private:
  iconv_t cd_;
};

// Maps a sentence character by character; every character must be a
// two-byte CP932 character found in the table. `line_break` stands for "\n".
template <typename Find>
auto to_codes(Cp932& cp932, std::string_view sentence, const char* table, Find find,
              std::optional<std::uint16_t> line_break) {
  using Code = typename decltype(find(std::string_view()))::value_type;
  std::vector<Code> codes;
  const auto fail = [&](std::string_view why) {
    throw std::runtime_error("sample text \"" + std::string(sentence) + "\": " + std::string(why));
  };
  for (std::size_t at = 0; at < sentence.size();) {
    const auto lead = static_cast<unsigned char>(sentence[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (at + length > sentence.size()) fail("broken UTF-8");
    const std::string character(sentence.substr(at, length));
    at += length;
    if (character == "\n" && line_break) {
      codes.push_back(static_cast<Code>(*line_break));
      continue;
    }
    const std::optional<std::string> bytes = cp932.convert(character);
    if (!bytes || bytes->size() != 2) fail("\"" + character + "\" is not a two-byte CP932 character");
    const auto code = find(*bytes);
    if (!code) fail("\"" + character + "\" is not in the " + table + " table");
    codes.push_back(*code);
  }
  return codes;
}

}  // namespace

ImageContent sample_content() {
  Cp932 cp932;
  ImageContent content;

  std::vector<std::vector<std::uint16_t>> sentences;
  for (const char* text : kMessages)
    sentences.push_back(to_codes(cp932, text, "message", find_message_code, kLineBreak));
  // Every fourth round joins two sentences, so messages vary in length.
  for (std::size_t n = 0; n < rom::kMessageCount; ++n) {
    const std::size_t count = std::size(kMessages);
    std::vector<std::uint16_t> message = sentences[n % count];
    if (n / count % 4 == 3) {
      message.push_back(kLineBreak);
      message.insert(message.end(), sentences[(n + 1) % count].begin(), sentences[(n + 1) % count].end());
    }
    message.push_back(rom::kMessageEnd);
    content.messages.push_back(std::move(message));
  }

  // Repeated names carry a number: "やくそう＋２".
  for (std::size_t n = 0; n < kFixedStringBank.entries; ++n) {
    const std::size_t round = n / std::size(kFixedStrings);
    const std::string text =
        std::string(kFixedStrings[n % std::size(kFixedStrings)]) + (round == 0 ? "" : "＋" + full_width_number(round));
    auto entry = to_codes(cp932, text, "byte", find_byte_code, std::nullopt);
    entry.push_back(0xAC);
    content.fixed_strings.push_back(std::move(entry));
  }

  // Every monster with every line; some end with the battle's other terminator.
  for (std::size_t n = 0; n < kBattleTextBank.entries; ++n) {
    const BattleLine& line = kBattleLines[n % std::size(kBattleLines)];
    const char* monster = kMonsters[n / std::size(kBattleLines) % std::size(kMonsters)];
    auto entry = to_codes(cp932, std::string(line.before) + monster + line.after, "byte", find_byte_code, std::nullopt);
    entry.push_back(n % 3 == 2 ? 0xAE : 0xAC);
    content.battle_text.push_back(std::move(entry));
  }
  return content;
}

}  // namespace talvo::builder
