// The platform layer on Windows: the common open dialog, message boxes and
// files through the ANSI Windows API, so that the programs' Shift_JIS texts and
// paths pass through untouched on a Japanese system.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// commdlg.h needs windows.h first.
#include <commdlg.h>

#include <algorithm>
#include <limits>
#include <string>

#include "platform.h"

namespace talvo::platform {
namespace {

HANDLE handle_of(FileHandle file) { return reinterpret_cast<HANDLE>(file.value); }

FileHandle file_of(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return {};
  return FileHandle{reinterpret_cast<std::intptr_t>(handle)};
}

// The dialog's filter list: description and pattern of each filter, each
// NUL-terminated, and one more NUL to end the list.
std::string filter_list(std::span<const FileFilter> filters) {
  std::string list;
  for (const FileFilter& filter : filters) {
    list += filter.description;
    list += '\0';
    list += filter.pattern;
    list += '\0';
  }
  list += '\0';
  return list;
}

// ReadFile and WriteFile take at most a DWORD at a time.
DWORD chunk_of(std::size_t count) {
  return static_cast<DWORD>(std::min<std::size_t>(count, std::numeric_limits<DWORD>::max()));
}

}  // namespace

bool choose_file(std::span<const FileFilter> filters, char* path, std::size_t capacity) {
  const std::string list = filter_list(filters);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.lpstrFilter = list.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path;
  dialog.nMaxFile = static_cast<DWORD>(std::min<std::size_t>(capacity, std::numeric_limits<DWORD>::max()));
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  return GetOpenFileNameA(&dialog) != FALSE;
}

void message_box(const char* text, const char* caption, BoxStyle style) {
  MessageBoxA(nullptr, text, caption, style == BoxStyle::IconError ? MB_OK | MB_ICONERROR : MB_OK);
}

FileHandle open_existing_exclusive(const char* path) {
  return file_of(
      CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle create_always(const char* name) {
  return file_of(CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

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
