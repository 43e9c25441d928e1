// The four programs as processes, and what they showed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/process.h"

namespace talvo::testing {

enum class Program { Decode, EncodeMessages, EncodeFixedStrings, EncodeBattleText };

// Runs the program in `folder`, answering its dialog with `answer` (no line:
// the end of input, which cancels) and every box with the end of input.
ProcessResult run_program(Program program, const std::filesystem::path& folder, const std::string& answer,
                          const std::vector<std::string>& arguments = {}, const ProcessSetup& setup = {});

const char* program_path(Program program);

// A run in which every write to the file named `name` fails (`at_close`
// false), or its close does, as on a full disk or a network file system.
ProcessSetup failing_output(const std::string& name, bool at_close);

// The boxes a run showed on one stream, each as "caption: text" with the
// text's line feeds kept and its last one dropped, in the order shown.
using Boxes = std::vector<std::string>;
Boxes boxes(const std::string& stream);

// What a whole run of the extractor or an encoder shows.
inline const Boxes kFinished{"終了: 終了しました"};

}  // namespace talvo::testing
