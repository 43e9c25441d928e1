#include "support/programs.h"

namespace talvo::testing {

const char* program_path(Program program) {
  switch (program) {
    case Program::Decode:
      return TALVO_DECODE;
    case Program::EncodeMessages:
      return TALVO_ENCODE_MSG;
    case Program::EncodeFixedStrings:
      return TALVO_ENCODE_STR;
    case Program::EncodeBattleText:
      return TALVO_ENCODE_BTL;
  }
  return "";
}

ProcessSetup failing_output(const std::string& name, bool at_close) {
  ProcessSetup setup;
  setup.environment = {std::string("LD_PRELOAD=") + TALVO_FAILING_IO,
                       std::string(at_close ? "TALVO_TEST_FAILING_CLOSE=" : "TALVO_TEST_FAILING_WRITE=") + name,
                       // The sanitizers' runtime wants to come first; here it need not.
                       "ASAN_OPTIONS=verify_asan_link_order=0"};
  return setup;
}

ProcessResult run_program(Program program, const std::filesystem::path& folder, const std::string& answer,
                          const std::vector<std::string>& arguments, const ProcessSetup& setup) {
  std::vector<std::string> argv{program_path(program)};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return run_process(argv, folder, answer, setup);
}

Boxes boxes(const std::string& stream) {
  std::vector<std::string> found;
  std::size_t at = 0;
  while ((at = stream.find("== ", at)) != std::string::npos) {
    if (at != 0 && stream[at - 1] != '\n') {
      ++at;
      continue;
    }
    const std::size_t caption_end = stream.find(" ==\n", at);
    if (caption_end == std::string::npos) break;
    const std::size_t text_start = caption_end + 4;
    std::size_t text_end = stream.find("\n== ", text_start);
    text_end = text_end == std::string::npos ? stream.size() : text_end + 1;
    std::string text = stream.substr(text_start, text_end - text_start);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    found.push_back(stream.substr(at + 3, caption_end - at - 3) + ": " + text);
    at = text_end;
  }
  return found;
}

}  // namespace talvo::testing
