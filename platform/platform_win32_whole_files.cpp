// Whole files and the console for the command line on Windows. Paths arrive
// in UTF-8 and go to the wide-character calls. An output is written to a new
// file in its folder and moved over its name once complete, so that the name
// never holds half a file: a failed run leaves the old one.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "platform.h"
#include "platform_win32_text.h"

namespace talvo::platform {
namespace {

// The system's own words for its last error, without the line end.
std::string system_reason(DWORD error = GetLastError()) {
  wchar_t* words = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
  std::string reason;
  if (length > 0) win32::utf8_from_wide(std::wstring_view(words, length), reason);
  LocalFree(words);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) {
    reason.pop_back();
  }
  if (reason.empty()) reason = "system error " + std::to_string(error);
  return reason;
}

bool wide_path(const std::string& path, std::wstring& wide, std::string& reason) {
  if (win32::wide_from_utf8(path, wide)) return true;
  reason = "the name is not UTF-8";
  return false;
}

HANDLE open_for_reading(const std::wstring& path, DWORD flags) {
  return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, flags, nullptr);
}

bool write_all(HANDLE file, std::span<const std::uint8_t> bytes) {
  const std::uint8_t* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    DWORD put = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(left, 1u << 30));
    if (!WriteFile(file, p, chunk, &put, nullptr) || put == 0) return false;
    p += put;
    left -= put;
  }
  return true;
}

// A name no other file has yet, of one short pattern that does not depend on
// the output's name (which may already take all the characters a name can
// have), as on POSIX: ".talvo-" and six characters. `attributes` are those
// the replaced file had (hidden, system, archive), which its successor keeps.
HANDLE create_temporary(const std::wstring& path, DWORD attributes, std::wstring& temporary) {
  const std::size_t slash = path.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"" : path.substr(0, slash + 1);
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    wchar_t suffix[16];
    std::swprintf(suffix, 16, L"%06x", static_cast<unsigned>(random() & 0xFFFFFF));
    temporary = folder + L".talvo-" + suffix;
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

UINT console_output_code_page = 0;

void restore_console_output() { SetConsoleOutputCP(console_output_code_page); }

}  // namespace

bool read_whole_file(const std::string& path, std::uint64_t limit, FileBytes& bytes, std::string& reason) {
  std::wstring wide;
  if (!wide_path(path, wide, reason)) return false;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    reason = "a folder, not a file";
    return false;
  }
  const HANDLE file = open_for_reading(wide, FILE_ATTRIBUTE_NORMAL);
  if (file == INVALID_HANDLE_VALUE) {
    reason = system_reason();
    return false;
  }
  bool ok = false;
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK) {
    reason = "a device or pipe, not a file";
  } else if (!GetFileSizeEx(file, &size)) {
    reason = system_reason();
  } else if (static_cast<std::uint64_t>(size.QuadPart) > limit) {
    reason = "too large (" + std::to_string(size.QuadPart) + " bytes, at most " + std::to_string(limit) + ")";
  } else {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t delivered = 0;
    ok = read(FileHandle{reinterpret_cast<std::intptr_t>(file)}, bytes.data(), bytes.size(), delivered);
    if (!ok) reason = system_reason();
    if (ok && delivered != bytes.size()) {
      ok = false;
      reason = "the file changed while it was read";
    }
  }
  CloseHandle(file);
  return ok;
}

bool write_pending_file(const std::string& path, std::span<const std::uint8_t> bytes, PendingFile& pending,
                        std::string& reason) {
  std::wstring wide;
  if (!wide_path(path, wide, reason)) return false;
  // What is there already, a link not followed: a link is replaced.
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      reason = "a folder is in the way";
      return false;
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      reason = "the file there is read-only";
      return false;
    }
  }
  // A replaced file's attributes stay; a link is replaced by a plain file.
  constexpr DWORD kKept =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const bool replaces_file = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
  std::wstring temporary;
  pending = {};
  const HANDLE file = create_temporary(wide, replaces_file ? attributes & kKept : 0, temporary);
  if (file == INVALID_HANDLE_VALUE) {
    reason = system_reason();
    return false;
  }
  pending.created = true;
  bool written = write_all(file, bytes);
  if (!written) reason = system_reason();
  if (!CloseHandle(file) && written) {
    written = false;
    reason = system_reason();
  }
  if (!written) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  std::string temporary_utf8;
  win32::utf8_from_wide(temporary, temporary_utf8);  // made of the path's own characters
  pending = {temporary_utf8, path, true};
  return true;
}

bool commit_file(PendingFile& pending, std::string& reason) {
  std::wstring temporary, path;
  bool moved = wide_path(pending.temporary, temporary, reason) && wide_path(pending.path, path, reason);
  if (moved && !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    moved = false;
    reason = system_reason();
  }
  if (!moved) {
    discard_file(pending);
    return false;
  }
  pending = {};
  return true;
}

void discard_file(PendingFile& pending) {
  std::wstring temporary;
  if (!pending.temporary.empty() && win32::wide_from_utf8(pending.temporary, temporary)) {
    DeleteFileW(temporary.c_str());
  }
  pending = {};
}

bool exists(const std::string& path) {
  std::wstring wide;
  return win32::wide_from_utf8(path, wide) && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool same_file(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION info[2]{};
  const std::string* paths[2] = {&a, &b};
  for (int i = 0; i < 2; ++i) {
    std::wstring wide;
    if (!win32::wide_from_utf8(*paths[i], wide)) return false;
    // Opening for no access at all reads the identity of folders and files
    // that others hold; the backup flag lets a folder be opened.
    const HANDLE file = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, &info[i]) != FALSE;
    CloseHandle(file);
    if (!known) return false;
  }
  return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

bool standard_error_is_terminal() {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (error == INVALID_HANDLE_VALUE || error == nullptr || !GetConsoleMode(error, &mode)) return false;
  // Colours are escape sequences, which older consoles print as they are.
  return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
         SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != FALSE;
}

std::vector<std::string> command_line_arguments(int, char**) {
  const UINT code_page = GetConsoleOutputCP();
  if (code_page != 0 && code_page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    console_output_code_page = code_page;
    std::atexit(restore_console_output);
  }
  return win32::utf8_arguments(GetCommandLineW());
}

}  // namespace talvo::platform
