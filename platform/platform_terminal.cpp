// The terminal backend of the dialog and the message boxes, for scripts,
// tests and machines without a desktop. Its behaviour is a contract that the
// tests and the README rely on:
//  - the file dialog writes its filters, the initial file-name text and a
//    prompt to standard error and reads one line from standard input: an
//    existing file is chosen (its full path is returned); a line with "*" or
//    "?" lists the matching files of the current directory and asks again; a
//    path that names no existing file, or names a folder, FIFO or device, or
//    is longer than a path may be, is reported and asked again; an empty
//    line or the end of input cancels;
//  - a message box writes "== caption ==" and its text, in UTF-8, to
//    standard error for an error box and to standard output for a plain one,
//    then waits for one line of standard input (the end of input answers at
//    once).
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform_backends.h"
#include "sjis_terminal_text.h"

namespace talvo::platform::terminal {
namespace {

void ignore_broken_pipes() {
  // A closed terminal must not kill a pass that is writing its files.
  static const bool done = [] {
    std::signal(SIGPIPE, SIG_IGN);
    return true;
  }();
  (void)done;
}

// Answers are short: a path holds at most 259 bytes. A longer line is read
// to its end and reported as too long; one that runs on past this many bytes
// without ending (standard input on /dev/zero) cannot be an answer and counts
// as the end of the input, so that nothing waits or grows for ever.
constexpr std::size_t kLongestLine = std::size_t{1} << 20;

enum class LineRead { Line, TooLong, End };

// One line of standard input without its line end, at most `limit` bytes of
// it kept in `line`.
LineRead read_line(std::string& line, std::size_t limit) {
  line.clear();
  std::size_t length = 0;
  int c;
  while ((c = std::getchar()) != EOF && c != '\n') {
    if (++length > kLongestLine) return LineRead::End;
    if (line.size() <= limit) line += static_cast<char>(c);
  }
  if (c == EOF && length == 0) return LineRead::End;
  if (length <= limit + 1 && !line.empty() && line.back() == '\r') {
    line.pop_back();
    --length;
  }
  if (length > limit) {
    line.resize(limit);
    return LineRead::TooLong;
  }
  return LineRead::Line;
}

std::vector<std::string> split_patterns(const std::string& patterns) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= patterns.size()) {
    const std::size_t end = std::min(patterns.find(';', start), patterns.size());
    if (end > start) parts.push_back(patterns.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

void list_matches(const std::string& patterns) {
  const std::vector<std::string> wanted = split_patterns(patterns);
  std::vector<std::string> names;
  if (DIR* dir = opendir(".")) {
    while (const dirent* entry = readdir(dir)) {
      struct stat info {};
      if (stat(entry->d_name, &info) != 0 || !S_ISREG(info.st_mode)) continue;
      for (const std::string& pattern : wanted) {
        if (fnmatch(pattern.c_str(), entry->d_name, 0) == 0) {
          names.emplace_back(entry->d_name);
          break;
        }
      }
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  if (names.empty()) std::fprintf(stderr, "  (no matching files)\n");
  for (const std::string& name : names) std::fprintf(stderr, "  %s\n", name.c_str());
}

std::string full_path_of(const std::string& line) {
  if (char* resolved = realpath(line.c_str(), nullptr)) {
    std::string path(resolved);
    std::free(resolved);
    return path;
  }
  return line;
}

}  // namespace

bool choose_file(std::span<const FileFilter> filters, char* path, std::size_t capacity) {
  ignore_broken_pipes();
  std::fprintf(stderr, "Open\n");
  for (std::size_t i = 0; i < filters.size(); ++i) {
    std::fprintf(stderr, "  file type %zu: %s  %s\n", i + 1, sjis_to_utf8(filters[i].description).c_str(),
                 filters[i].pattern);
  }
  std::fprintf(stderr, "  file name: %s\n", sjis_to_utf8(path).c_str());
  std::string line;
  const std::size_t longest = capacity > 0 ? capacity - 1 : 0;
  for (;;) {
    std::fprintf(stderr, "Path (empty to cancel): ");
    std::fflush(stderr);
    const LineRead answer = read_line(line, longest);
    const char* cut = answer == LineRead::TooLong ? "..." : "";
    // An answer that came from a pipe is echoed, so that a transcript reads
    // like the conversation it was.
    if (!isatty(STDIN_FILENO)) std::fprintf(stderr, "%s%s\n", line.c_str(), cut);
    if (answer == LineRead::End || line.empty()) return false;
    if (answer == LineRead::TooLong) {
      std::fprintf(stderr, "Path too long (at most %zu bytes): %s%s\n", longest, line.c_str(), cut);
      continue;
    }
    if (line.find_first_of("*?") != std::string::npos) {
      list_matches(line);
      continue;
    }
    // A NUL would cut the path short in every call below.
    struct stat info {};
    if (line.find('\0') != std::string::npos || stat(line.c_str(), &info) != 0) {
      std::fprintf(stderr, "No such file: %s\n", line.c_str());
      continue;
    }
    if (!S_ISREG(info.st_mode)) {
      std::fprintf(stderr, "Not a regular file: %s\n", line.c_str());
      continue;
    }
    const std::string full = full_path_of(line);
    if (full.size() >= capacity) {
      std::fprintf(stderr, "Path too long (at most %zu bytes): %s\n", longest, full.c_str());
      continue;
    }
    std::memcpy(path, full.c_str(), full.size() + 1);
    return true;
  }
}

void message_box(const char* text, const char* caption, BoxStyle style) {
  ignore_broken_pipes();
  FILE* out = style == BoxStyle::IconError ? stderr : stdout;
  std::string body = sjis_to_utf8(text);
  if (body.empty() || body.back() != '\n') body += '\n';
  std::fprintf(out, "== %s ==\n%s", sjis_to_utf8(caption).c_str(), body.c_str());
  std::fflush(out);
  if (isatty(STDIN_FILENO)) {
    std::fprintf(out, "[Enter]");
    std::fflush(out);
  }
  std::string answer;
  read_line(answer, 0);
}

}  // namespace talvo::platform::terminal
