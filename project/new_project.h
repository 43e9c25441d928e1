// The project file that talvo init writes for a new project: the image,
// the outputs and the texts, in UTF-8, with the comments a translator needs
// to find their way; read back by read_project as it was written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talvo::project {

struct NewProject {
  std::string image;   // from the project's folder to the image, '/' between names
  std::string output;  // the new image, from the project's folder
  std::string patch;   // the BPS patch
  std::string message_text, fixed_string_text, battle_text;
};

// `text` as a TOML string in double quotes, escaped where it must be;
// nothing when it is not UTF-8, which a TOML file cannot hold.
std::optional<std::string> toml_string(std::string_view text);

// talvo.toml's text; nothing when a path is not UTF-8.
std::optional<std::string> new_project_file(const NewProject& project);

}  // namespace talvo::project
