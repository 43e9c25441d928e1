#include "line_wrap.h"

#include <algorithm>
#include <cassert>

namespace talvo::fit {
namespace {

class PageWrapper {
 public:
  PageWrapper(const WindowProfile& profile, const CodeRoles& roles, WrapResult& result)
      : profile_(profile), roles_(roles), result_(result), out_(result.units) {}

  // Lays out one page's units (without the code that ends the page).
  void wrap(std::span<const WrappedUnit> items) {
    lines_ = 0;
    start_line(out_.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
      const WrappedUnit& item = items[i];
      const std::uint64_t room = width(item);
      while (room > 0 && width_ > 0 && width_ + room > profile_.width) {
        if (item.role == UnitRole::Space) break;
        if (space_at_ != kNone) {
          const std::size_t at = space_at_;
          out_[at] = terminator();
          start_line(at + 1);
        } else {
          const std::size_t at = drawn_end_;
          out_.insert(out_.begin() + static_cast<std::ptrdiff_t>(at), terminator());
          start_line(at + 1);
        }
      }
      if (room > 0 && width_ > 0 && width_ + room > profile_.width) {
        // A space where the line is full: the break goes in its place, unless
        // nothing drawn follows it on the page.
        if (std::any_of(items.begin() + static_cast<std::ptrdiff_t>(i) + 1, items.end(),
                        [&](const WrappedUnit& next) { return width(next) > 0; })) {
          out_.push_back(terminator());
          start_line(out_.size());
        }
        continue;
      }
      if (room > profile_.width && !result_.unfit) result_.unfit = item.source;
      if (item.role == UnitRole::Space && width_ > 0) space_at_ = out_.size();
      out_.push_back(item);
      width_ += room;
      if (room > 0) drawn_end_ = out_.size();
    }
  }

 private:
  std::uint64_t width(const WrappedUnit& item) {
    const std::optional<std::uint32_t> room = unit_width(Unit{item.code, item.role, 0, 0}, profile_);
    if (!room && !result_.unmeasured) result_.unmeasured = item.source;
    return room.value_or(0);
  }

  // The code that ends the line: after the window's last line, the page code.
  WrappedUnit terminator() {
    const bool page_full = ++lines_ == profile_.lines;
    if (page_full) lines_ = 0;
    const std::uint16_t code = page_full ? profile_.page_codes.front() : profile_.line_code;
    return {code, page_full ? roles_[code] : UnitRole::LineBreak, kInserted};
  }

  // A new line begins at out_[begin]: what stands there already (controls,
  // or the words after a space) is its start.
  void start_line(std::size_t begin) {
    width_ = 0;
    space_at_ = kNone;
    drawn_end_ = begin;
    for (std::size_t k = begin; k < out_.size(); ++k) {
      const std::uint64_t room = width(out_[k]);
      if (out_[k].role == UnitRole::Space && width_ > 0) space_at_ = k;
      width_ += room;
      if (room > 0) drawn_end_ = k + 1;
    }
  }

  const WindowProfile& profile_;
  const CodeRoles& roles_;
  WrapResult& result_;
  std::vector<WrappedUnit>& out_;
  std::uint32_t lines_ = 0;  // lines ended on this page of the window
  std::uint64_t width_ = 0;
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t space_at_ = kNone;  // the last space after a character on the line
  std::size_t drawn_end_ = 0;     // just after the line's last unit that takes room
};

// The page's units with its line breaks taken out: a run of them between two
// words becomes one space, where the first of them stood.
std::vector<WrappedUnit> joined(std::span<const Unit> units, std::uint32_t base, bool spaced, std::uint16_t space) {
  std::vector<WrappedUnit> items;
  items.reserve(units.size() + 4);
  std::optional<std::size_t> break_at;
  bool after_word = false;
  for (std::uint32_t i = 0; i < units.size(); ++i) {
    const Unit& unit = units[i];
    if (unit.role == UnitRole::LineBreak) {
      if (!break_at) break_at = items.size();
      continue;
    }
    if (is_drawn(unit.role)) {
      if (break_at && spaced && after_word && unit.role == UnitRole::Glyph) {
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(*break_at),
                     WrappedUnit{space, UnitRole::Space, kInserted});
      }
      break_at.reset();
      after_word = unit.role == UnitRole::Glyph;
    }
    items.push_back({unit.code, unit.role, base + i});
  }
  return items;
}

}  // namespace

bool spaces_words(std::span<const Unit> units) {
  std::size_t characters = 0, word_spaces = 0;
  bool word = false, space_after_word = false;
  for (const Unit& unit : units) {
    if (ends_line(unit.role)) {
      word = space_after_word = false;
    } else if (unit.role == UnitRole::Space) {
      space_after_word = space_after_word || word;
    } else if (unit.role == UnitRole::Glyph) {
      ++characters;
      if (space_after_word) ++word_spaces;
      word = true;
      space_after_word = false;
    }
  }
  return word_spaces > 0 && word_spaces * 20 >= characters;
}

WrapResult wrap_entry(std::span<const Unit> units, const WindowProfile& profile, const CodeRoles& roles,
                      std::uint16_t space, bool spaced) {
  assert(!profile.page_codes.empty());
  WrapResult result;
  result.units.reserve(units.size() + units.size() / 8 + 4);
  PageWrapper wrapper(profile, roles, result);
  std::uint32_t begin = 0;
  for (std::uint32_t i = 0; i <= units.size(); ++i) {
    const bool last = i == units.size();
    if (!last && !profile.is_page_code(units[i].code) && units[i].role != UnitRole::End) continue;
    wrapper.wrap(joined(units.subspan(begin, i - begin), begin, spaced, space));
    if (!last) result.units.push_back({units[i].code, units[i].role, i});
    begin = i + 1;
  }
  return result;
}

}  // namespace talvo::fit
