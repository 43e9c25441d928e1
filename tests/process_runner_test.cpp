// The process runner must hand programs an environment without a graphical
// display: on a desktop they would otherwise open real windows, which no test
// answers, instead of talking on the terminal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

#include "support/process.h"

namespace talvo::testing {
namespace {

// Sets a variable for the scope and gives the old value back at its end.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value, 1);
  }
  ~ScopedVariable() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ProcessRunner, ChildrenSeeNoDisplayButTheRestOfTheEnvironment) {
  const ScopedVariable display("DISPLAY", ":0");
  const ScopedVariable wayland("WAYLAND_DISPLAY", "wayland-0");
  const ScopedVariable other("TALVO_RUNNER_PROBE", "kept");
  TempFolder folder;
  const ProcessResult result = run_process({"/usr/bin/env"}, folder.path(), "");
  ASSERT_EQ(result.exit_status, 0) << result.err;

  std::istringstream lines(result.out);
  bool probe_kept = false;
  for (std::string line; std::getline(lines, line);) {
    EXPECT_FALSE(line.starts_with("DISPLAY=")) << line;
    EXPECT_FALSE(line.starts_with("WAYLAND_DISPLAY=")) << line;
    probe_kept = probe_kept || line == "TALVO_RUNNER_PROBE=kept";
  }
  EXPECT_TRUE(probe_kept) << result.out;
}

}  // namespace
}  // namespace talvo::testing
