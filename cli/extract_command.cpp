// talvo extract: the image's three text files, exactly as Talvo_decode
// writes them (or as UTF-8 working copies), each written whole or not at all.
#include "commands.h"
#include "image_file.h"
#include "text_extraction.h"
#include "text_tables.h"

namespace talvo::cli {

int run_extract(const Options& options) {
  std::vector<NamedPath> outputs;
  for (const char* name : kTextFileNames) outputs.push_back({in_folder(options.output, name), name});
  if (!outputs_are_safe(outputs, {{options.image, "the input image"}})) return kUsage;
  TextTables tables;
  if (!load_text_tables(options, options.encoding, tables)) return kFailure;
  ImageFile image;
  if (!read_image(options.image, image)) return kFailure;

  // The banks are decoded first and written together, so that a failure to
  // write (a full disk) leaves every file there was as it was. A broken
  // bank stops the pass; the banks before it are still written.
  ExtractedTexts extracted;
  if (!extract_texts(options.image, image.cartridge(), tables.vocabularies(options.encoding), extracted)) {
    return kFailure;
  }
  std::vector<OutputFile> files;
  for (std::size_t i = 0; i < extracted.count; ++i) {
    const std::string_view text = extracted.texts[i];
    files.push_back({outputs[i].path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}});
  }
  if (!files.empty() && !write_outputs(files, {options.image})) return kFailure;
  if (!extracted.broken.empty()) {
    say(options.image + ": " + extracted.broken);
    return kFailure;
  }
  return kSuccess;
}

}  // namespace talvo::cli
