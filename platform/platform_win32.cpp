// The platform layer on Windows: the common open dialog, message boxes and
// files through the wide-character API. The programs' Shift_JIS texts are
// converted from code page 932 whatever the system's code page, and paths
// travel as UTF-8 up to the wide calls, so a file whose name the system code
// page cannot spell opens too.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// commdlg.h needs windows.h first.
#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "platform.h"
#include "platform_win32_text.h"

namespace talvo::platform {
namespace {

HANDLE handle_of(FileHandle file) { return reinterpret_cast<HANDLE>(file.value); }

FileHandle file_of(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return {};
  return FileHandle{reinterpret_cast<std::intptr_t>(handle)};
}

// The dialog's buffer: paths of up to 259 characters (UTF-16 units), as
// the ANSI dialog held 259 bytes. For a longer one the dialog itself fails,
// so such a path is refused, never cut.
constexpr std::size_t kDialogPathUnits = MAX_PATH;

FileHandle create_file(const char* path, DWORD access, DWORD disposition) {
  std::wstring wide;
  if (!win32::wide_from_utf8(path, wide)) return {};
  return file_of(CreateFileW(wide.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// ReadFile and WriteFile take at most a DWORD at a time.
DWORD chunk_of(std::size_t count) {
  return static_cast<DWORD>(std::min<std::size_t>(count, std::numeric_limits<DWORD>::max()));
}

}  // namespace

bool choose_file(std::span<const FileFilter> filters, char* path, std::size_t capacity) {
  const std::wstring list = win32::wide_filter_list(filters);
  std::wstring initial;
  wchar_t chosen[kDialogPathUnits] = {};
  if (win32::wide_from_utf8(path, initial) && initial.size() < kDialogPathUnits) {
    std::copy(initial.begin(), initial.end(), chosen);
  }
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.lpstrFilter = list.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = chosen;
  dialog.nMaxFile = kDialogPathUnits;
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  if (GetOpenFileNameW(&dialog) == FALSE) return false;
  // The caller's buffer holds the UTF-8 of any path the dialog takes; one
  // that cannot be spelt in UTF-8 (a lone surrogate) is refused like a path
  // too long.
  std::string utf8;
  if (!win32::utf8_from_wide(chosen, utf8) || utf8.size() >= capacity) return false;
  std::memcpy(path, utf8.c_str(), utf8.size() + 1);
  return true;
}

void message_box(const char* text, const char* caption, BoxStyle style) {
  const std::wstring wide_text = win32::wide_from_sjis(text);
  const std::wstring wide_caption = win32::wide_from_sjis(caption);
  MessageBoxW(nullptr, wide_text.c_str(), wide_caption.c_str(),
              style == BoxStyle::IconError ? MB_OK | MB_ICONERROR : MB_OK);
}

FileHandle open_existing_exclusive(const char* path) {
  return create_file(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
}

FileHandle create_always(const char* name) { return create_file(name, GENERIC_WRITE, CREATE_ALWAYS); }

bool file_size(FileHandle file, std::uint64_t& size) {
  LARGE_INTEGER value{};
  if (!GetFileSizeEx(handle_of(file), &value) || value.QuadPart < 0) return false;
  size = static_cast<std::uint64_t>(value.QuadPart);
  return true;
}

bool set_position(FileHandle file, std::uint64_t offset) {
  if (offset > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max())) return false;
  LARGE_INTEGER distance{};
  distance.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(handle_of(file), distance, nullptr, FILE_BEGIN) != FALSE;
}

bool read(FileHandle file, void* buffer, std::size_t count, std::size_t& delivered) {
  delivered = 0;
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (delivered < count) {
    DWORD got = 0;
    if (!ReadFile(handle_of(file), bytes + delivered, chunk_of(count - delivered), &got, nullptr)) return false;
    if (got == 0) break;  // the end of the file
    delivered += got;
  }
  return true;
}

bool write(FileHandle file, const void* data, std::size_t count) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (count > 0) {
    DWORD put = 0;
    if (!WriteFile(handle_of(file), bytes, chunk_of(count), &put, nullptr) || put == 0) return false;
    bytes += put;
    count -= put;
  }
  return true;
}

bool close(FileHandle& file) {
  const bool closed = !file.valid() || CloseHandle(handle_of(file)) != FALSE;
  file = {};
  return closed;
}

// A windowed program has no standard streams to guard: its boxes are windows.
void open_standard_streams() {}

}  // namespace talvo::platform
