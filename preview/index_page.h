// index.html beside the pictures: every entry drawn, with its number, its
// text and the pictures of its pages, the pages that do not fit marked; the
// original text beside where it is known. One file that works offline in
// any browser: no scripts, its style in the page.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace talvo::preview {

struct IndexPicture {
  std::string file;  // beside index.html
  std::uint32_t width = 0, height = 0;
  std::vector<std::string> problems;  // what does not fit; empty when it fits
  bool cut = false;
};

struct IndexEntry {
  std::string bank;  // msg, str, btl
  std::size_t number = 0;
  std::string text;                     // UTF-8, as the file has it
  std::optional<std::string> original;  // UTF-8, as the image has it
  std::vector<IndexPicture> pages;
};

// `title` names what was drawn (the files); `window` describes the window
// ("16x3 tiles"), or is empty where none was given.
std::string index_html(std::span<const IndexEntry> entries, const std::string& title, const std::string& window);

}  // namespace talvo::preview
