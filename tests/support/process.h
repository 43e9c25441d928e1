// Runs a program as a user would on a terminal: in a folder of its own,
// with the answers to its dialogs and boxes on standard input.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace talvo::testing {

struct ProcessResult {
  int exit_status = -1;  // -1 when it did not exit normally
  std::string out;
  std::string err;
};

// How a run departs from a plain one.
struct ProcessSetup {
  std::vector<std::string> environment;  // "NAME=value", added to ours
  std::string input_path;                // read standard input from here instead of `input`
  bool close_output = false;             // start with standard output closed
  bool close_error = false;              // and standard error
};

// Runs `argv` in `folder` with `input` as its standard input. A program
// that runs for over a minute is killed, so a hang fails the test.
ProcessResult run_process(const std::vector<std::string>& argv, const std::filesystem::path& folder,
                          const std::string& input, const ProcessSetup& setup = {});

// A fresh empty folder, removed with everything in it at the end of scope.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& bytes);

}  // namespace talvo::testing
