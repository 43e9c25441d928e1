#include "new_project.h"

#include <cstdio>

#include "utf8.h"

namespace talvo::project {

std::optional<std::string> toml_string(std::string_view text) {
  std::string out = "\"";
  while (!text.empty()) {
    const Utf8Char c = decode_utf8(text);
    if (c.error != Utf8Error::None) return std::nullopt;
    if (c.code_point == '"' || c.code_point == '\\') {
      out += '\\';
      out += static_cast<char>(c.code_point);
    } else if (c.code_point < 0x20 || c.code_point == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c.code_point));
      out += escaped;
    } else {
      out += text.substr(0, c.length);
    }
    text.remove_prefix(c.length);
  }
  return out + "\"";
}

std::optional<std::string> new_project_file(const NewProject& project) {
  const auto image = toml_string(project.image);
  const auto output = toml_string(project.output);
  const auto patch = toml_string(project.patch);
  const auto msg = toml_string(project.message_text);
  const auto str = toml_string(project.fixed_string_text);
  const auto btl = toml_string(project.battle_text);
  if (!image || !output || !patch || !msg || !str || !btl) return std::nullopt;
  return "# A translation project of Talvo. The talvo commands run in this folder or\n"
         "# below it take their settings from here; paths are from this folder.\n"
         "image = " +
         *image +
         "  # the original, never written\n"
         "output = " +
         *output +
         "  # the new image\n"
         "patch = " +
         *patch +
         "  # the BPS patch from image to output\n"
         "encoding = \"utf8\"\n"
         "\n"
         "# The texts to edit.\n"
         "[text]\n"
         "msg = " +
         *msg + "\nstr = " + *str + "\nbtl = " + *btl +
         "\n"
         "\n"
         "# More free space for a bank, as --room takes it; `talvo room IMAGE` lists\n"
         "# blank stretches that may be free.\n"
         "# [room]\n"
         "# msg = [\"0x500000-0x5C0000\"]\n";
}

}  // namespace talvo::project
