// Texts of the encoders, as Shift_JIS byte strings.
#pragma once

namespace talvo::texts {

// "Text File (*.txt)"
inline constexpr char kTextFilter[] = "Text File (*.txt)";
// "*.txt"
inline constexpr char kTextPattern[] = "*.txt";
// "*.txt" (what the file-name field starts with)
inline constexpr char kTextInitialName[] = "*.txt";
// "Talvoに使われていない文字が含まれています\n" (the text holds a character that Talvo does not use)
inline constexpr char kUnusedCharacterText[] =
    "Talvo\x82\xC9\x8E\x67\x82\xED\x82\xEA\x82\xC4\x82\xA2\x82\xC8\x82\xA2\x95\xB6\x8E\x9A\x82\xAA\x8A\xDC\x82\xDC\x82"
    "\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7\n";
// "%07llubyte目\n" (zero-based offset of the byte where it was found; files may pass 4 GiB)
inline constexpr char kPositionFormat[] = "%07llubyte\x96\xDA\n";
// "メッセージアクセステーブルの読み込みに失敗" (the one read-failure text of all three encoders)
inline constexpr char kReadFailedText[] =
    "\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57\x83\x41\x83\x4E\x83\x5A\x83\x58\x83\x65\x81\x5B\x83\x75\x83\x8B\x82\xCC"
    "\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94\x73";
// "バンクが16MBを超えたのでインデックスに書けません\n" (the bank outgrew the 3-byte index; the file name follows)
inline constexpr char kBankTooLargeText[] =
    "\x83\x6F\x83\x93\x83\x4E\x82\xAA"
    "16MB\x82\xF0\x92\xB4\x82\xA6\x82\xBD\x82\xCC\x82\xC5\x83\x43\x83\x93\x83\x66\x83\x62\x83\x4E\x83\x58\x82\xC9\x8F"
    "\x91\x82\xAF\x82\xDC\x82\xB9\x82\xF1\n";

}  // namespace talvo::texts
