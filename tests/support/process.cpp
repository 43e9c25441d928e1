#include "process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <thread>

extern char** environ;

namespace talvo::testing {
namespace {

// This environment less the variables that name a graphical display: the
// programs then talk on the terminal even when the tests run on a desktop.
std::vector<std::string> environment_without_display() {
  std::vector<std::string> kept;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view variable = *entry;
    if (variable.starts_with("DISPLAY=") || variable.starts_with("WAYLAND_DISPLAY=")) continue;
    kept.emplace_back(variable);
  }
  return kept;
}

}  // namespace

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "talvo-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  // Tests make files read-only; give the owner its rights back first.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
  }
  std::filesystem::remove_all(path_, ignored);
}

ProcessResult run_process(const std::vector<std::string>& argv, const std::filesystem::path& folder,
                          const std::string& input, const ProcessSetup& setup) {
  TempFolder io;
  write_file(io / "in", input);
  const std::string in = setup.input_path.empty() ? (io / "in").string() : setup.input_path;
  const std::string out = (io / "out").string(), err = (io / "err").string();
  // Prepared before the fork: the child only calls what is safe there.
  std::vector<std::string> environment = environment_without_display();
  for (const std::string& added : setup.environment) {
    const std::string name = added.substr(0, added.find('=') + 1);
    std::erase_if(environment, [&](const std::string& variable) { return variable.starts_with(name); });
    environment.push_back(added);
  }
  std::vector<char*> envp;
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  std::vector<char*> args;
  std::vector<std::string> arguments = argv;
  for (std::string& arg : arguments) args.push_back(arg.data());
  args.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in_fd = open(in.c_str(), O_RDONLY);
    const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in_fd < 0 || out_fd < 0 || err_fd < 0 || dup2(in_fd, 0) < 0 || dup2(out_fd, 1) < 0 || dup2(err_fd, 2) < 0 ||
        chdir(folder.c_str()) != 0) {
      _exit(127);
    }
    if (in_fd > 2) ::close(in_fd);
    if (out_fd > 2) ::close(out_fd);
    if (err_fd > 2) ::close(err_fd);
    if (setup.close_output) ::close(1);
    if (setup.close_error) ::close(2);
    execve(args[0], args.data(), envp.data());
    _exit(127);
  }

  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ProcessResult result;
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = read_file(out);
  result.err = read_file(err);
  return result;
}

}  // namespace talvo::testing
