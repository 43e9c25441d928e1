// Texts that all four programs show, as Shift_JIS byte strings.
#pragma once

namespace talvo::texts {

// "すべてのFile (*.*)" (all files)
inline constexpr char kAllFilesFilter[] =
    "\x82\xB7\x82\xD7\x82\xC4\x82\xCC"
    "File (*.*)";
// "*.*"
inline constexpr char kAllFilesPattern[] = "*.*";
// "ファイルを指定してください" (please specify a file)
inline constexpr char kNoFileText[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x8E\x77\x92\xE8\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2";
// "ファイルが指定されていません" (no file has been specified)
inline constexpr char kNoFileCaption[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x8E\x77\x92\xE8\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// "ファイルがオープンできません" (the file cannot be opened)
inline constexpr char kOpenFailedText[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x83\x49\x81\x5B\x83\x76\x83\x93\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
// "ファイルオープンの失敗" (file open failure)
inline constexpr char kOpenFailedCaption[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x83\x49\x81\x5B\x83\x76\x83\x93\x82\xCC\x8E\xB8\x94\x73";
// "終了しました" (finished)
inline constexpr char kFinishedText[] = "\x8F\x49\x97\xB9\x82\xB5\x82\xDC\x82\xB5\x82\xBD";
// "終了" (end)
inline constexpr char kFinishedCaption[] = "\x8F\x49\x97\xB9";
// "エラー" (error)
inline constexpr char kErrorCaption[] = "\x83\x47\x83\x89\x81\x5B";
// "ファイルが作成できません\n" (the file cannot be created; the file name follows)
inline constexpr char kCannotCreateText[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x8D\xEC\x90\xAC\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\n";
// "ファイルの書き込みに失敗\n" (writing the file failed; the file name follows)
inline constexpr char kWriteFailedText[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC\x8F\x91\x82\xAB\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94\x73\n";

}  // namespace talvo::texts
