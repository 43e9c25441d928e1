#include "index_page.h"

#include <cstdio>

namespace talvo::preview {
namespace {

void escaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
}

std::string anchor(const IndexEntry& entry) {
  char text[48];
  std::snprintf(text, sizeof text, "%s-%04zX", entry.bank.c_str(), entry.number);
  return text;
}

constexpr const char* kStyle = R"(body{font-family:sans-serif;margin:1em 2em;background:#f4f4f0;color:#222}
h1{font-size:1.3em}
.entry{background:#fff;border:1px solid #ccc;border-radius:4px;margin:0 0 1em;padding:.5em 1em}
.entry h2{font-size:1em;margin:.2em 0 .5em}
.texts{display:flex;gap:1em;flex-wrap:wrap}
.texts div{flex:1;min-width:18em}
.texts h3{font-size:.8em;color:#666;margin:0}
pre{white-space:pre-wrap;font-size:.95em;margin:.2em 0}
.pages{display:flex;gap:1em;flex-wrap:wrap;align-items:flex-start;margin-top:.5em}
figure{margin:0}
figure img{image-rendering:pixelated;border:2px solid #446;display:block}
figure.over img{border-color:#c22}
figcaption{font-size:.8em;color:#555}
figure.over figcaption{color:#c22;font-weight:bold}
.summary a{margin-right:.6em}
)";

}  // namespace

std::string index_html(std::span<const IndexEntry> entries, const std::string& title, const std::string& window) {
  std::string out;
  out.reserve(entries.size() * 600 + 4096);
  out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
  escaped(out, title);
  out += "</title>\n<style>\n";
  out += kStyle;
  out += "</style>\n</head>\n<body>\n<h1>";
  escaped(out, title);
  out += "</h1>\n";
  std::size_t pages = 0;
  std::vector<const IndexEntry*> overflowing;
  for (const IndexEntry& entry : entries) {
    pages += entry.pages.size();
    for (const IndexPicture& page : entry.pages) {
      if (!page.problems.empty()) {
        overflowing.push_back(&entry);
        break;
      }
    }
  }
  out += "<p class=\"summary\">" + std::to_string(entries.size()) + " entries, " + std::to_string(pages) + " pages";
  if (!window.empty()) {
    out += "; window ";
    escaped(out, window);
    out += ": " + std::to_string(overflowing.size()) + (overflowing.size() == 1 ? " entry does" : " entries do") +
           " not fit";
    if (!overflowing.empty()) out += ":";
    for (const IndexEntry* entry : overflowing)
      out += " <a href=\"#" + anchor(*entry) + "\">" + anchor(*entry) + "</a>";
  }
  out += "</p>\n";
  for (const IndexEntry& entry : entries) {
    const std::string id = anchor(entry);
    out += "<section class=\"entry\" id=\"" + id + "\">\n<h2>" + id + "</h2>\n<div class=\"texts\"><div>";
    if (entry.original) out += "<h3>translation</h3>";
    out += "<pre>";
    escaped(out, entry.text);
    out += "</pre></div>";
    if (entry.original) {
      out += "<div><h3>original</h3><pre>";
      escaped(out, *entry.original);
      out += "</pre></div>";
    }
    out += "</div>\n<div class=\"pages\">\n";
    for (std::size_t p = 0; p < entry.pages.size(); ++p) {
      const IndexPicture& page = entry.pages[p];
      const bool over = !page.problems.empty();
      out += over ? "<figure class=\"over\">" : "<figure>";
      out += "<img src=\"" + page.file + "\" width=\"" + std::to_string(page.width) + "\" height=\"" +
             std::to_string(page.height) + "\" loading=\"lazy\" alt=\"" + id + " page " + std::to_string(p + 1) +
             "\"><figcaption>page " + std::to_string(p + 1);
      for (const std::string& problem : page.problems) {
        out += "<br>";
        escaped(out, problem);
      }
      if (page.cut) out += "<br>drawn in part: too large for one picture";
      out += "</figcaption></figure>\n";
    }
    out += "</div>\n</section>\n";
  }
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace talvo::preview
