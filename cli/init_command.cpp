// talvo init: a translation project made of an image. A folder with
// talvo.toml, the three texts in UTF-8 under text/, and build/ for what the
// project makes; then the commands that come next.
#include <cstdio>

#include "commands.h"
#include "image_file.h"
#include "new_project.h"
#include "platform.h"
#include "platform_folders.h"
#include "project_file.h"
#include "text_extraction.h"
#include "vocabulary.h"

namespace talvo::cli {
namespace {

bool is_separator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

// The image's file name, and that name without its extension.
struct ImageName {
  std::string stem;       // "game" of "roms/game.smc"
  std::string extension;  // ".smc", or "" when it has none
};

ImageName image_name(const std::string& path) {
  std::size_t start = path.size();
  while (start > 0 && !is_separator(path[start - 1])) --start;
  const std::string name = path.substr(start);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return {name, ""};
  return {name.substr(0, dot), name.substr(dot)};
}

// A word of a command to copy into a shell, quoted when it must be.
std::string shell_word(const std::string& word) {
  bool plain = !word.empty();
  for (const char c : word) {
    const auto byte = static_cast<unsigned char>(c);
    const bool safe = byte >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      std::string_view("._-+/:,=@%").find(c) != std::string_view::npos;
    plain = plain && safe;
  }
  if (plain) return word;
#ifdef _WIN32
  return "\"" + word + "\"";
#else
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
#endif
}

std::string as_folder(const std::string& path) { return is_separator(path.back()) ? path : path + "/"; }

}  // namespace

int run_init(const Options& options) {
  const ImageName name = image_name(options.image);
  const std::string folder = options.project_folder.empty() ? name.stem : options.project_folder;
  if (folder.empty()) {
    say(options.image + ": its name gives no folder for the project; name one with -o DIR");
    return kUsage;
  }
  switch (platform::folder_state(folder)) {
    case platform::FolderState::Missing:
    case platform::FolderState::Empty:
      break;
    case platform::FolderState::NotEmpty:
      say(folder + ": the folder is not empty; a project is made in a new or empty folder: name one with -o DIR");
      return kUsage;
    case platform::FolderState::NotAFolder:
      say(folder + ": is not a folder; name the project's folder with -o DIR");
      return kUsage;
  }
  ImageFile image;
  if (!read_image(options.image, image)) return kFailure;
  ExtractedTexts texts;
  if (!extract_texts(options.image, image.cartridge(), game_vocabularies(TextEncoding::Utf8), texts)) return kFailure;
  if (!texts.broken.empty()) {
    say(options.image + ": " + texts.broken + "; a project needs all three texts, and nothing was made");
    return kFailure;
  }

  const std::string root = as_folder(folder);
  for (const std::string& made : {root + "text", root + "build"}) {
    if (std::string reason; !platform::make_folders(made, reason)) {
      say(made + ": cannot be made: " + reason);
      return kFailure;
    }
  }
  const std::optional<std::string> image_path = platform::path_from(folder, options.image);
  if (!image_path) {
    say(options.image + ": its path from " + folder + " cannot be found");
    return kFailure;
  }
  project::NewProject made{*image_path,
                           "build/" + name.stem + "-new" + (name.extension.empty() ? ".smc" : name.extension),
                           "build/" + name.stem + "-new.bps",
                           std::string("text/") + kTextFileNames[0],
                           std::string("text/") + kTextFileNames[1],
                           std::string("text/") + kTextFileNames[2]};
  const std::optional<std::string> file = project::new_project_file(made);
  if (!file) {
    say(options.image + ": its path is not UTF-8, which a project file cannot hold; rename it or its folders");
    return kFailure;
  }

  std::vector<OutputFile> outputs{
      {root + project::kProjectFileName, {reinterpret_cast<const std::uint8_t*>(file->data()), file->size()}}};
  for (std::size_t i = 0; i < kTextFileNames.size(); ++i) {
    outputs.push_back({root + "text/" + kTextFileNames[i],
                       {reinterpret_cast<const std::uint8_t*>(texts.texts[i].data()), texts.texts[i].size()}});
  }
  if (!write_outputs(outputs, {options.image})) return kFailure;

  std::string said = "Made the project " + root + " of " + options.image + ":\n";
  for (const OutputFile& output : outputs) said += "  " + output.path + "\n";
  said += "  " + root + "build/, for the new image and its patch\n";
  said += "Edit the texts under " + root + "text/ (UTF-8); then, in " + root + ":\n";
  std::string texts_listed, files_given;
  const char* const options_of[] = {"--msg", "--str", "--btl"};
  const std::string* text_paths[] = {&made.message_text, &made.fixed_string_text, &made.battle_text};
  for (std::size_t i = 0; i < 3; ++i) {
    texts_listed += " " + shell_word(*text_paths[i]);
    files_given += std::string(" ") + options_of[i] + " " + shell_word(*text_paths[i]);
  }
  said += "  talvo check --encoding utf8" + texts_listed + "\n";
  said += "  talvo insert " + shell_word(made.image) + " --encoding utf8" + files_given + " -o " +
          shell_word(made.output) + " --bps " + shell_word(made.patch) + "\n";
  std::fputs(said.c_str(), stdout);
  return std::fflush(stdout) == 0 ? kSuccess : kFailure;
}

}  // namespace talvo::cli
