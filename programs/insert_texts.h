// Texts of Talvo_insert, as Shift_JIS byte strings.
#pragma once

namespace talvo::texts {

// "TalvoInsert.smc", "TalvoInsert.bps": the new image and the patch from the
// chosen image to it, in the current directory.
inline constexpr char kInsertedImageName[] = "TalvoInsert.smc";
inline constexpr char kInsertedPatchName[] = "TalvoInsert.bps";

// "入力ファイルと出力ファイルが同じです" (the input file and an output file are the same)
inline constexpr char kSameFileText[] =
    "\x93\xFC\x97\xCD\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC6\x8F\x6F\x97\xCD\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA"
    "\x93\xAF\x82\xB6\x82\xC5\x82\xB7";
// "テキストファイルが見つかりません" (no text file found; the names looked for follow)
inline constexpr char kNoTextFilesText[] =
    "\x83\x65\x83\x4C\x83\x58\x83\x67\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC"
    "\x82\xB9\x82\xF1";
// "テキストに誤りがあります" (the text has errors; they follow)
inline constexpr char kTextErrorsText[] =
    "\x83\x65\x83\x4C\x83\x58\x83\x67\x82\xC9\x8C\xEB\x82\xE8\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB7";
// "容量が足りません" (there is not enough room)
inline constexpr char kNoRoomText[] = "\x97\x65\x97\xCA\x82\xAA\x91\xAB\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
// "文字の種類が多すぎます" (too many kinds of characters)
inline constexpr char kTooManyCodesText[] =
    "\x95\xB6\x8E\x9A\x82\xCC\x8E\xED\x97\xDE\x82\xAA\x91\xBD\x82\xB7\x82\xAC\x82\xDC\x82\xB7";
// "元のイメージのテキストが読めません" (the original image's text cannot be read)
inline constexpr char kBrokenImageText[] =
    "\x8C\xB3\x82\xCC\x83\x43\x83\x81\x81\x5B\x83\x57\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67\x82\xAA\x93\xC7\x82\xDF"
    "\x82\xDC\x82\xB9\x82\xF1";
// "検証に失敗しました" (verification failed)
inline constexpr char kVerificationFailedText[] =
    "\x8C\x9F\x8F\xD8\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD";
// "メッセージ", "固定文字列", "戦闘テキスト" (messages, fixed strings, battle text)
inline constexpr char kMessagesName[] = "\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57";
inline constexpr char kFixedStringsName[] = "\x8C\xC5\x92\xE8\x95\xB6\x8E\x9A\x97\xF1";
inline constexpr char kBattleTextName[] = "\x90\xED\x93\xAC\x83\x65\x83\x4C\x83\x58\x83\x67";
// "バイト" (bytes), "ビット" (bits), "文字" (characters), "必要" (needed), "空き" (room), "使用" (used)
inline constexpr char kBytes[] = "\x83\x6F\x83\x43\x83\x67";
inline constexpr char kBits[] = "\x83\x72\x83\x62\x83\x67";
inline constexpr char kCharacters[] = "\x95\xB6\x8E\x9A";
inline constexpr char kNeeded[] = "\x95\x4B\x97\x76";
inline constexpr char kRoom[] = "\x8B\xF3\x82\xAB";
inline constexpr char kUsed[] = "\x8E\x67\x97\x70";
// "長いエントリ" (the longest entries)
inline constexpr char kLongestEntries[] = "\x92\xB7\x82\xA2\x83\x47\x83\x93\x83\x67\x83\x8A";
// "チェックサムを再計算しました" (the checksum was computed anew)
inline constexpr char kChecksumRecomputed[] =
    "\x83\x60\x83\x46\x83\x62\x83\x4E\x83\x54\x83\x80\x82\xF0\x8D\xC4\x8C\x76\x8E\x5A\x82\xB5\x82\xDC\x82\xB5\x82\xBD";
// "内部ヘッダーのチェックサムはそのままです" (the internal header's checksum is left as it was)
inline constexpr char kChecksumKept[] =
    "\x93\xE0\x95\x94\x83\x77\x83\x62\x83\x5F\x81\x5B\x82\xCC\x83\x60\x83\x46\x83\x62\x83\x4E\x83\x54\x83\x80\x82\xCD"
    "\x82\xBB\x82\xCC\x82\xDC\x82\xDC\x82\xC5\x82\xB7";
// "何も書き込んでいません" (nothing was written)
inline constexpr char kNothingWritten[] =
    "\x89\xBD\x82\xE0\x8F\x91\x82\xAB\x8D\x9E\x82\xF1\x82\xC5\x82\xA2\x82\xDC\x82\xB9\x82\xF1";

}  // namespace talvo::texts
