// The only door to the operating system: the file dialog, message boxes and
// files. The program logic sees these few operations and nothing else, so a
// desktop backend can replace the terminal one without touching it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "file_memory.h"

namespace talvo::platform {

// Message box styles, with the values the Windows API gives them.
enum class BoxStyle : unsigned {
  Ok = 0x00,         // MB_OK: plain box, one OK button
  IconError = 0x10,  // MB_ICONERROR: error icon, one OK button
};

struct FileFilter {
  const char* description;  // Shift_JIS
  const char* pattern;      // ";"-separated wildcards, such as "*.smc;*.fig;"
};

// Paths are the file system's bytes on POSIX systems and UTF-8 on Windows,
// where the platform layer hands them to the wide-character calls.

// Modal file-open dialog. `path` holds the initial file-name text on entry.
// True when the user confirmed an existing file, whose full path is then in
// `path` (NUL-terminated, within `capacity`); false on cancel or failure.
// Windows' dialog takes paths of up to 259 characters and fails on a longer
// one, so such a path is refused, never cut.
bool choose_file(std::span<const FileFilter> filters, char* path, std::size_t capacity);

// Modal message box with Shift_JIS text and caption; returns once the user
// has dismissed it.
void message_box(const char* text, const char* caption, BoxStyle style);

struct FileHandle {
  std::intptr_t value = -1;
  bool valid() const { return value >= 0; }
};

// Opens an existing file for reading and writing, for this process alone: a
// read-only file, or one that another process holds, is refused.
FileHandle open_existing_exclusive(const char* path);

// Creates a file under `name` in the current directory, or empties the one
// there, for writing by this process alone. It never writes through a link:
// a symbolic link of that name is replaced by the new file, and what it
// points to stays as it was. Anything but a regular file (a folder, a FIFO,
// a device) is refused without waiting, and so is a file without any write
// permission, as the input side refuses one, even for root.
FileHandle create_always(const char* name);

// The full size of the file; false when it cannot be taken.
bool file_size(FileHandle file, std::uint64_t& size);

// Moves to `offset` from the start of the file.
bool set_position(FileHandle file, std::uint64_t offset);

// Reads up to `count` bytes; `delivered` tells how many arrived (fewer at the
// end of the file). False on an error.
bool read(FileHandle file, void* buffer, std::size_t count, std::size_t& delivered);

// Writes all `count` bytes; false when they could not all be written.
bool write(FileHandle file, const void* data, std::size_t count);

// Closes the file; false when the system reports an error there, which some
// file systems do for a write that failed late.
bool close(FileHandle& file);

// Makes sure the standard input, output and error are open, on the null
// device where they were closed, before any file is opened: a file that took
// their number would receive the boxes' text. Call it first in every program.
void open_standard_streams();

// Whole files, for the command line, with the reason when something fails
// (the system's own words).

// Reads the whole file at `path`, opened for reading only. Anything but a
// regular file is refused without waiting, and so is a file of more than
// `limit` bytes.
bool read_whole_file(const std::string& path, std::uint64_t limit, FileBytes& bytes, std::string& reason);

// Writes `bytes` as the file at `path` whole or not at all: into a new file
// beside it (`pending`, named ".talvo-XXXXXX"), which commit_file() renames
// over `path`. A run that fails or is cut short leaves the old file; where
// the system has unnamed files, the new one is named only once complete, so
// that a killed run leaves nothing. (Like compilers and editors, it does not
// wait for the disk: that took longer than writing the file.) A replaced
// file's mode, and where the process may its owner and group, stay as they
// were. A link at `path` to a regular file or to nothing is replaced by a
// new file, not followed; a link to anything else (a device, a FIFO, a
// folder) is refused, and so is a read-only file, as the desktop programs
// refuse one. Several files are written first and renamed after, so that a
// failure leaves all as they were.
struct PendingFile {
  std::string temporary;
  std::string path;
  // Set once the new file exists: a failure after it is one of writing (a
  // full disk), before it one of making the file.
  bool created = false;
};
bool write_pending_file(const std::string& path, std::span<const std::uint8_t> bytes, PendingFile& pending,
                        std::string& reason);
bool commit_file(PendingFile& pending, std::string& reason);
void discard_file(PendingFile& pending);

// Whether something (a file, a folder, a link) exists at `path`.
bool exists(const std::string& path);

// Whether both paths name one existing file (through links too).
bool same_file(const std::string& a, const std::string& b);

// Whether writing both paths would write one file: they name one existing
// file, or neither exists yet and both name the same name in one folder
// (the folder known by its identity, the name compared without regard to
// case on Windows, whose file systems do not tell case apart).
bool same_destination(const std::string& a, const std::string& b);

// Whether standard error is a terminal, which may show colours. On Windows
// only a console that takes colour sequences counts.
bool standard_error_is_terminal();

// The command line's arguments in UTF-8, the program's name first. On
// Windows they are read from the wide command line, since `argv` spells them
// in the system's code page, which may not hold a Japanese file name, and
// the console is set to show the program's UTF-8 output (the code page it
// had comes back at exit). Elsewhere `argv` is taken as it is.
std::vector<std::string> command_line_arguments(int argc, char** argv);

}  // namespace talvo::platform
