// Texts of the extractor, as Shift_JIS byte strings.
#pragma once

namespace talvo::texts {

// "SFC ROM (*.smc;*.fig)"
inline constexpr char kRomFilter[] = "SFC ROM (*.smc;*.fig)";
// "*.smc;*.fig;"
inline constexpr char kRomPattern[] = "*.smc;*.fig;";
// "*.smc;*.fig" (what the file-name field starts with)
inline constexpr char kRomInitialName[] = "*.smc;*.fig";
// "Talvo(SFC)のファイルではありません" (this is not a Talvo (SFC) file)
inline constexpr char kNotTalvoText[] =
    "Talvo(SFC)\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
// "ファイルサイズの不正" (invalid file size)
inline constexpr char kBadSizeCaption[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x83\x54\x83\x43\x83\x59\x82\xCC\x95\x73\x90\xB3";
// "ハフマン木の読み込みに失敗" (failed to read the Huffman tree)
inline constexpr char kTreeReadFailed[] =
    "\x83\x6E\x83\x74\x83\x7D\x83\x93\x96\xD8\x82\xCC\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94\x73";
// "ハフマン木の展開に失敗" (failed to expand the Huffman tree)
inline constexpr char kTreeExpandFailed[] =
    "\x83\x6E\x83\x74\x83\x7D\x83\x93\x96\xD8\x82\xCC\x93\x57\x8A\x4A\x82\xC9\x8E\xB8\x94\x73";
// "メッセージアクセステーブルの読み込みに失敗" (failed to read the message access table)
inline constexpr char kAccessTableReadFailed[] =
    "\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57\x83\x41\x83\x4E\x83\x5A\x83\x58\x83\x65\x81\x5B\x83\x75\x83\x8B\x82\xCC"
    "\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94\x73";
// "メッセージデータの読み込みに失敗" (failed to read the message data)
inline constexpr char kMessageDataReadFailed[] =
    "\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57\x83\x66\x81\x5B\x83\x5E\x82\xCC\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x82\xC9"
    "\x8E\xB8\x94\x73";
// "固定文字列の読み込みに失敗" (failed to read the fixed strings; both byte banks show it)
inline constexpr char kFixedStringReadFailed[] =
    "\x8C\xC5\x92\xE8\x95\xB6\x8E\x9A\x97\xF1\x82\xCC\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94\x73";

}  // namespace talvo::texts
