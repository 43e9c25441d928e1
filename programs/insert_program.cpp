#include "insert_program.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "banks.h"
#include "bps.h"
#include "cp932.h"
#include "extractor_texts.h"
#include "insert_texts.h"
#include "insertion.h"
#include "output_files.h"
#include "platform.h"
#include "program_texts.h"
#include "rom_image.h"
#include "text_checker.h"
#include "text_positions.h"
#include "vocabulary.h"

namespace talvo {
namespace {

// The most diagnostics a box lists; the rest are counted.
constexpr std::size_t kListedDiagnostics = 8;
// The largest text file taken: a full message file is half a megabyte.
constexpr std::uint64_t kLargestText = std::uint64_t{256} << 20;

void show_error(const std::string& text) {
  platform::message_box(text.c_str(), texts::kErrorCaption, platform::BoxStyle::IconError);
}

// UTF-8 text of the checker and the numbers, as the boxes' Shift_JIS; what
// has no Shift_JIS form is left out.
std::string sjis(std::string_view utf8) {
  std::string out;
  for (bool first = true; !utf8.empty(); first = false) {
    const Utf8ToSjisResult piece = utf8_to_sjis_text(utf8, nullptr, first ? LeadingBom::Drop : LeadingBom::Refuse);
    out += piece.sjis;
    if (piece.error == Utf8ToSjisError::None) break;
    utf8.remove_prefix(piece.error_offset +
                       std::max<std::size_t>(decode_utf8(utf8.substr(piece.error_offset)).length, 1));
  }
  return out;
}

std::string hex4(std::size_t n) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%04zX", n);
  return text;
}

struct TextFile {
  const char* name;
  Bank bank;
  const BankRecord& rules;
};

const TextFile kTextFiles[] = {
    {text_format::kMessageFileName, Bank::Messages, kMessageBank},
    {text_format::kFixedStringFileName, Bank::FixedStrings, kFixedStringBank},
    {text_format::kBattleTextFileName, Bank::BattleText, kBattleTextBank},
};

const char* bank_name(Bank bank) {
  switch (bank) {
    case Bank::Messages:
      return texts::kMessagesName;
    case Bank::FixedStrings:
      return texts::kFixedStringsName;
    case Bank::BattleText:
      break;
  }
  return texts::kBattleTextName;
}

// "FILE:LINE:COLUMN: message; hint" for each error, as the command line
// shows them.
void list_errors(std::string& box, const char* name, const std::string& text, const CheckedText& checked,
                 std::size_t& listed) {
  PlaceFinder places(text, TextEncoding::ShiftJis);
  for (const Diagnostic& d : checked.diagnostics) {
    if (d.severity != Severity::Error || listed++ >= kListedDiagnostics) continue;
    const TextPlace place = places.place(d.first);
    std::string message = d.message;
    if (!d.hint.empty()) message.append("; ").append(d.hint);
    box.append("\n").append(name).append(":").append(std::to_string(place.line)).append(":");
    box.append(std::to_string(place.column)).append(": ").append(sjis(message));
  }
}

// Reads and checks the text files that lie in the current directory. False
// after a box, when none is there or one has errors.
bool read_texts(insert::NewText& text) {
  std::string errors;
  std::size_t listed = 0;
  bool found = false;
  for (const TextFile& file : kTextFiles) {
    if (!platform::exists(file.name)) continue;
    found = true;
    FileBytes bytes;
    std::string reason;
    if (!platform::read_whole_file(file.name, kLargestText, bytes, reason)) {
      show_error(std::string(texts::kOpenFailedText) + "\n" + file.name);
      return false;
    }
    const std::string sjis_text(bytes.begin(), bytes.end());
    const CheckedText checked = check_text(sjis_text, file.rules, game_vocabularies(), CheckOptions{});
    if (checked.errors > 0) {
      list_errors(errors, file.name, sjis_text, checked, listed);
      continue;
    }
    auto entries = checked.entries();
    if (file.bank == Bank::Messages) {
      text.messages = std::move(entries);
      continue;
    }
    std::vector<std::vector<std::uint8_t>> bytes_entries(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) bytes_entries[i].assign(entries[i].begin(), entries[i].end());
    (file.bank == Bank::FixedStrings ? text.fixed_strings : text.battle_text) = std::move(bytes_entries);
  }
  if (!found) {
    show_error(std::string(texts::kNoTextFilesText) + "\n" + text_format::kMessageFileName + "\n" +
               text_format::kFixedStringFileName + "\n" + text_format::kBattleTextFileName);
    return false;
  }
  if (!errors.empty()) {
    if (listed > kListedDiagnostics) errors += "\n... (" + std::to_string(listed) + ")";
    show_error(texts::kTextErrorsText + errors);
    return false;
  }
  return true;
}

std::string largest(const insert::BankFit& fit) {
  std::string text;
  for (const insert::EntrySize& size : fit.largest) text += " " + hex4(size.entry);
  return text;
}

const char* original_failure_text(insert::OriginalFailure failure) {
  switch (failure) {
    case insert::OriginalFailure::TreeUnreadable:
      return texts::kTreeReadFailed;
    case insert::OriginalFailure::TreeInvalid:
      return texts::kTreeExpandFailed;
    case insert::OriginalFailure::AccessTableRead:
      return texts::kAccessTableReadFailed;
    case insert::OriginalFailure::MessageDataRead:
      return texts::kMessageDataReadFailed;
    case insert::OriginalFailure::ByteBankRead:
      break;
  }
  return texts::kFixedStringReadFailed;
}

void show_refusal(const insert::Refusal& refusal) {
  std::string box;
  if (const auto* broken = std::get_if<insert::BrokenOriginal>(&refusal)) {
    box = std::string(texts::kBrokenImageText) + "\n" + bank_name(broken->bank) + " " + hex4(broken->entry) + "\n" +
          original_failure_text(broken->failure);
  } else if (const auto* overflow = std::get_if<insert::DoesNotFit>(&refusal)) {
    box = texts::kNoRoomText;
    for (const insert::BankFit& fit : overflow->report.banks) {
      if (fit.fits) continue;
      box += "\n" + std::string(bank_name(fit.bank)) + ": " + texts::kNeeded + " " + std::to_string(fit.needed_bytes) +
             " " + texts::kBytes + ", " + texts::kRoom + " " + std::to_string(fit.room_bytes) + " " + texts::kBytes +
             "\n" + texts::kLongestEntries + ":" + largest(fit);
    }
  } else if (const auto* codes = std::get_if<insert::TooManyCodes>(&refusal)) {
    box = std::string(texts::kTooManyCodesText) + " (" + std::to_string(codes->distinct) + " / " +
          std::to_string(codes->limit) + ")";
    for (std::size_t i = 0; i < codes->rarest.size() && i < kListedDiagnostics; ++i) {
      std::string written(game_vocabulary(CodeSet::Message).extraction(codes->rarest[i].code));
      if (!written.empty() && written.back() == '\n') written.pop_back();
      box += "\n" + written + " " + hex4(codes->rarest[i].first_message);
    }
  } else {
    // A refusal the checked text cannot cause: the new image read back
    // otherwise, or a region the input itself lays out unsafely.
    box = texts::kVerificationFailedText;
  }
  show_error(box + "\n" + texts::kNothingWritten);
}

std::string fit_report(const insert::FitReport& report) {
  std::string text;
  for (const insert::BankFit& fit : report.banks) {
    text += "\n" + std::string(bank_name(fit.bank)) + ": " + std::to_string(fit.needed_bytes) + " / " +
            std::to_string(fit.room_bytes) + " " + texts::kBytes + texts::kUsed;
    if (fit.bank == Bank::Messages) {
      text += " (" + std::to_string(fit.distinct_codes) + " " + texts::kCharacters + ")";
    }
  }
  text += "\n";
  text += report.checksum.recomputed.empty() ? texts::kChecksumKept : texts::kChecksumRecomputed;
  return text;
}

// Writes the image and the patch, both whole or neither.
bool write_results(std::span<const std::uint8_t> image, std::span<const std::uint8_t> patch) {
  const struct {
    const char* name;
    std::span<const std::uint8_t> bytes;
  } outputs[] = {{texts::kInsertedImageName, image}, {texts::kInsertedPatchName, patch}};
  platform::PendingFile pending[2];
  std::string reason;
  for (std::size_t i = 0; i < 2; ++i) {
    if (!platform::write_pending_file(outputs[i].name, outputs[i].bytes, pending[i], reason)) {
      for (std::size_t j = 0; j < i; ++j) platform::discard_file(pending[j]);
      // Made but not written whole (a full disk), or never made.
      show_error(std::string(pending[i].created ? texts::kWriteFailedText : texts::kCannotCreateText) +
                 outputs[i].name);
      return false;
    }
  }
  for (std::size_t i = 0; i < 2; ++i) {
    if (!platform::commit_file(pending[i], reason)) {
      for (std::size_t j = i + 1; j < 2; ++j) platform::discard_file(pending[j]);
      show_error(std::string(texts::kCannotCreateText) + outputs[i].name);
      return false;
    }
  }
  return true;
}

bool insert_into(const RomImage& image) {
  // The image chosen may be an earlier run's output: writing it would
  // replace the input, and its patch would start from the wrong image.
  for (const char* output : {texts::kInsertedImageName, texts::kInsertedPatchName}) {
    if (platform::same_file(image.path, output)) {
      show_error(texts::kSameFileText);
      return false;
    }
  }
  insert::NewText text;
  if (!read_texts(text)) return false;
  const insert::Outcome outcome = insert::insert_text(image.cartridge(), text);
  if (const auto* refusal = std::get_if<insert::Refusal>(&outcome)) {
    show_refusal(*refusal);
    return false;
  }
  const insert::Inserted& inserted = std::get<insert::Inserted>(outcome);
  FileBytes out(image.contents.begin(), image.contents.begin() + image.header_offset);
  out.insert(out.end(), inserted.cartridge.begin(), inserted.cartridge.end());
  const std::vector<std::uint8_t> patch = bps::create(image.cartridge(), inserted.cartridge);
  if (!write_results(out, patch)) return false;
  const std::string box = std::string(texts::kFinishedText) + "\n\n" + texts::kInsertedImageName + "\n" +
                          texts::kInsertedPatchName + "\n" + fit_report(inserted.report);
  platform::message_box(box.c_str(), texts::kFinishedCaption, platform::BoxStyle::Ok);
  return true;
}

}  // namespace

int run_inserter() {
  RomImage image;
  if (!open_rom_image(image)) return 0;
  insert_into(image);
  close_rom_image(image);
  return 0;
}

}  // namespace talvo
