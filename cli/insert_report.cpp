#include "insert_report.h"

#include <cstdio>
#include <iterator>
#include <optional>
#include <type_traits>
#include <variant>

#include "banks.h"
#include "sjis_terminal_text.h"
#include "vocabulary.h"

namespace talvo::cli {
namespace {

std::string hex(std::uint64_t value, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
  return text;
}

std::string entry(std::size_t n) { return hex(n, 4); }
std::string offset(std::uint64_t n) { return hex(n, 6); }
std::string region(const insert::Region& r) { return offset(r.start) + "-" + offset(r.end); }

const char* short_name(Bank bank) { return bank_record(bank).short_name; }

std::string entry_size(const insert::BankFit& fit, const insert::EntrySize& size) {
  return entry(size.entry) + " (" +
         (fit.bank == Bank::Messages ? std::to_string(size.bits) + " bits" : std::to_string(size.bytes) + " bytes") +
         ")";
}

std::string largest_entries(const insert::BankFit& fit) {
  std::string text;
  for (const insert::EntrySize& size : fit.largest) text += (text.empty() ? "" : ", ") + entry_size(fit, size);
  return text;
}

std::string grown_entries(const insert::BankFit& fit) {
  std::string text;
  for (const insert::EntryGrowth& growth : fit.grown) {
    text += (text.empty() ? "" : ", ") + entry(growth.entry) + " (+" +
            (fit.bank == Bank::Messages ? std::to_string(growth.bits) + " bits"
                                        : std::to_string(growth.bits / 8) + " bytes") +
            ")";
  }
  return text;
}

std::string percent(std::uint64_t part, std::uint64_t whole) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f%%", whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / whole);
  return text;
}

// How far a bank is over its room, in its own unit: bits for the messages,
// bytes for the byte banks; nothing when it is not.
std::optional<std::string> overrun(const insert::BankFit& fit) {
  if (fit.bank == Bank::Messages) {
    if (fit.needed_bits <= fit.room_bits) return std::nullopt;
    const std::uint64_t bits = fit.needed_bits - fit.room_bits;
    return std::to_string(bits) + (bits == 1 ? " bit" : " bits");
  }
  if (fit.needed_bytes <= fit.room_bytes) return std::nullopt;
  const std::uint64_t bytes = fit.needed_bytes - fit.room_bytes;
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

// The share of the room the text needs. A bank over its room by less than
// 0.05% would round to 100.0%, which reads as a full fit, and a message bank
// over by a few bits may need no more whole bytes than its room: either
// says how far over it is instead.
std::string share_of_room(const insert::BankFit& fit) {
  const auto over = overrun(fit);
  const double share =
      fit.room_bytes == 0 ? 0.0 : 100.0 * static_cast<double>(fit.needed_bytes) / static_cast<double>(fit.room_bytes);
  if (over && share < 100.05) return "over by " + *over;
  return percent(fit.needed_bytes, fit.room_bytes);
}

// A message code as the text files write it, quoted.
std::string message_code_text(const Vocabulary& messages, std::uint16_t code) {
  std::string_view written = messages.extraction(code);
  if (!written.empty() && written.back() == '\n') written.remove_suffix(1);
  const std::string text = messages.encoding() == TextEncoding::Utf8 ? std::string(written) : sjis_to_utf8(written);
  return "'" + text + "'";
}

std::string describe(const insert::UnsupportedImageSize& r) {
  return "the cartridge data is " + std::to_string(r.size) + " bytes; insertion takes 4 MB and 6 MB images";
}

std::string describe(const insert::BrokenOriginal& r) {
  std::string what;
  switch (r.failure) {
    case insert::OriginalFailure::TreeUnreadable:
      what = "the message tree lies past the end of the image";
      break;
    case insert::OriginalFailure::TreeInvalid:
      what = "the message tree is broken";
      break;
    case insert::OriginalFailure::AccessTableRead:
      what = "the group pointer of message " + entry(r.entry) + " lies past the end of the image";
      break;
    case insert::OriginalFailure::MessageDataRead:
      what = "the data of message " + entry(r.entry) + " runs past the end of the image";
      break;
    case insert::OriginalFailure::ByteBankRead:
      what = "entry " + entry(r.entry) + " runs past the end of the image";
      break;
  }
  return "the image's " + bank_name(r.bank) + " cannot be read as the extractor reads them: " + what +
         "; insertion needs an image that extracts";
}

std::string describe(const insert::WrongEntryCount& r) {
  return "the " + bank_name(r.bank) + " have " + std::to_string(r.given) + " entries, where the game has " +
         std::to_string(r.expected);
}

std::string describe(const insert::MisplacedEndCode& r) {
  return bank_name(r.bank) + " entry " + entry(r.entry) +
         (r.missing ? " does not end with its end code" : " holds an end code before its end");
}

std::string describe(const insert::CodeOutOfRange& r) {
  return "message " + entry(r.message) + " holds code " + hex(r.code, 3) + ", past the table";
}

std::string describe(const insert::TooManyCodes& r, const Vocabulary& messages) {
  std::string text = "the messages use " + std::to_string(r.distinct) +
                     " distinct characters and codes; the game's tree holds " + std::to_string(r.limit) +
                     ". Replace the " + std::to_string(r.rarest.size()) + " rarest:";
  for (const insert::CodeUse& use : r.rarest) {
    text += "\n  " + message_code_text(messages, use.code) + " (" + hex(use.code, 3) + "), used " +
            std::to_string(use.uses) + (use.uses == 1 ? " time" : " times") + ", first in message " +
            entry(use.first_message);
  }
  return text;
}

std::string describe(const insert::BadRegion& r) {
  const std::string what = (r.default_room ? "the image's own room of the " + bank_name(r.bank)
                                           : "--room " + std::string(short_name(r.bank)) + "=" + region(r.region)) +
                           " ";
  switch (r.fault) {
    case insert::RegionFault::Empty:
      return what + "is empty";
    case insert::RegionFault::OutsideImage:
      return what + "reaches past the end of the image";
    case insert::RegionFault::OverlapsTables:
      return what + "touches the pointer tables or the message tree (0x0152A4-0x01697B)";
    case insert::RegionFault::OverlapsHeader:
      return what + "touches the cartridge's internal header";
    case insert::RegionFault::Unreachable:
      return what + "lies where the bank's pointers cannot reach";
    case insert::RegionFault::OverlapsRoom:
      return what + "overlaps the room of the " + bank_name(r.other_bank.value_or(r.bank)) + " (" + region(r.other) +
             ")";
    case insert::RegionFault::OverlapsRegion:
      return what + "overlaps --room " + short_name(r.other_bank.value_or(r.bank)) + "=" + region(r.other);
  }
  return what;
}

std::string describe(const insert::DoesNotFit& r) {
  for (const insert::BankFit& fit : r.report.banks) {
    if (fit.bank != r.bank) continue;
    // A message bank over by a few bits may need no more whole bytes than
    // its room holds: its bits then say what does not fit.
    const bool in_bits = fit.bank == Bank::Messages && fit.needed_bytes <= fit.room_bytes && overrun(fit);
    const std::string need =
        in_bits ? std::to_string(fit.needed_bits) + " bits, their room holds " + std::to_string(fit.room_bits) + " bits"
                : std::to_string(fit.needed_bytes) + " bytes, their room holds " + std::to_string(fit.room_bytes);
    const std::string grown = fit.grown.empty() ? "" : ". Grown most: " + grown_entries(fit);
    return "the " + bank_name(fit.bank) + " do not fit: they need " + need +
           ". The largest entries: " + largest_entries(fit) + grown +
           ". Shorten the text, or give more room with --room " + short_name(fit.bank) + "=START-END";
  }
  return "the " + bank_name(r.bank) + " do not fit";
}

std::string describe(const insert::VerificationFailed& r) {
  const std::string where = r.bank ? "the " + bank_name(*r.bank) + " read back otherwise at entry " + entry(r.entry)
                                   : "byte " + offset(r.offset) + " changed although nothing was written there";
  return "the new image did not read back as it must (" + where +
         "), a fault of talvo: please report it with the image's text files";
}

}  // namespace

std::string bank_name(Bank bank) { return bank_record(bank).name; }

std::string fit_report_text(const insert::FitReport& report) {
  std::string text;
  for (const insert::BankFit& fit : report.banks) {
    text += bank_name(fit.bank) + ": " + std::to_string(fit.needed_bytes) + " of " + std::to_string(fit.room_bytes) +
            " bytes (" + share_of_room(fit) + ")";
    if (fit.bank == Bank::Messages) {
      text += ", " + std::to_string(fit.needed_bits) + " of " + std::to_string(fit.room_bits) + " bits, " +
              std::to_string(fit.distinct_codes) + " codes in the tree";
    }
    text += fit.fits ? "\n" : ": DOES NOT FIT\n";
    for (const insert::RegionUse& use : fit.regions) {
      text += "  " + std::string(use.default_room ? "own room " : "--room   ") + region(use.region) + ": " +
              std::to_string(use.used_bytes) + " bytes used, " + std::to_string(use.groups) + " groups\n";
    }
    text += "  largest entries: " + largest_entries(fit) + "\n";
    if (!fit.grown.empty()) text += "  grown most: " + grown_entries(fit) + "\n";
    if (fit.saved) {
      text += "  multi-character entries save " + std::to_string(*fit.saved) +
              (fit.bank == Bank::Messages ? " bits" : " bytes") + " against one code per character\n";
    }
  }
  if (report.checksum.recomputed.empty()) {
    text += "internal header: no valid checksum found, left as it was\n";
  }
  for (const insert::HeaderChecksum& header : report.checksum.recomputed) {
    text += "internal header at " + offset(header.offset) + ": checksum " + hex(header.old_checksum, 4) + " -> " +
            hex(header.new_checksum, 4) + "\n";
  }
  for (std::uint32_t stale : report.checksum.stale) {
    text += "internal header at " + offset(stale) + ": its checksum did not match the input; left as it was\n";
  }
  return text;
}

namespace {

// A JSON string: quotes, backslashes and control bytes escaped; UTF-8 as it is.
std::string json_string(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::string fit_report_json(const insert::FitReport& report, bool inserted, const JsonRefusal* refusal) {
  std::string json = "{\"inserted\":" + std::string(inserted ? "true" : "false") + ",\"banks\":[";
  for (std::size_t b = 0; b < report.banks.size(); ++b) {
    const insert::BankFit& fit = report.banks[b];
    json += std::string(b ? "," : "") + "{\"bank\":\"" + short_name(fit.bank) +
            "\",\"fits\":" + (fit.fits ? "true" : "false") + ",\"needed_bytes\":" + std::to_string(fit.needed_bytes) +
            ",\"room_bytes\":" + std::to_string(fit.room_bytes) + ",\"used_bytes\":" + std::to_string(fit.used_bytes) +
            ",\"needed_bits\":" + std::to_string(fit.needed_bits) + ",\"room_bits\":" + std::to_string(fit.room_bits) +
            ",\"distinct_codes\":" + std::to_string(fit.distinct_codes) + ",\"regions\":[";
    for (std::size_t i = 0; i < fit.regions.size(); ++i) {
      const insert::RegionUse& use = fit.regions[i];
      json += std::string(i ? "," : "") + "{\"start\":" + std::to_string(use.region.start) +
              ",\"end\":" + std::to_string(use.region.end) + ",\"own_room\":" + (use.default_room ? "true" : "false") +
              ",\"used_bytes\":" + std::to_string(use.used_bytes) + ",\"groups\":" + std::to_string(use.groups) + "}";
    }
    json += "],\"largest\":[";
    for (std::size_t i = 0; i < fit.largest.size(); ++i) {
      json += std::string(i ? "," : "") + "{\"entry\":" + std::to_string(fit.largest[i].entry) +
              ",\"bits\":" + std::to_string(fit.largest[i].bits) +
              ",\"bytes\":" + std::to_string(fit.largest[i].bytes) + "}";
    }
    if (fit.saved) {
      json += std::string("],\"") + (fit.bank == Bank::Messages ? "saved_bits" : "saved_bytes") +
              "\":" + std::to_string(*fit.saved) + ",\"grown\":[";
    } else {
      json += "],\"grown\":[";
    }
    for (std::size_t i = 0; i < fit.grown.size(); ++i) {
      const insert::EntryGrowth& growth = fit.grown[i];
      json += std::string(i ? "," : "") + "{\"entry\":" + std::to_string(growth.entry) +
              (fit.bank == Bank::Messages ? ",\"bits\":" + std::to_string(growth.bits)
                                          : ",\"bytes\":" + std::to_string(growth.bits / 8)) +
              "}";
    }
    json += "]}";
  }
  json += "],\"checksum\":{\"recomputed\":[";
  for (std::size_t i = 0; i < report.checksum.recomputed.size(); ++i) {
    const insert::HeaderChecksum& header = report.checksum.recomputed[i];
    json += std::string(i ? "," : "") + "{\"offset\":" + std::to_string(header.offset) +
            ",\"old\":" + std::to_string(header.old_checksum) + ",\"new\":" + std::to_string(header.new_checksum) + "}";
  }
  json += "],\"stale\":[";
  for (std::size_t i = 0; i < report.checksum.stale.size(); ++i) {
    json += std::string(i ? "," : "") + std::to_string(report.checksum.stale[i]);
  }
  json += "]}";
  if (refusal != nullptr) {
    json += ",\"refusal\":" + json_string(refusal->code) + ",\"message\":" + json_string(refusal->message);
  }
  return json + "}\n";
}

std::string refusal_code(const insert::Refusal& refusal) {
  static const char* const kCodes[] = {
      "unsupported-image-size", "broken-original", "wrong-entry-count", "misplaced-end-code", "code-out-of-range",
      "too-many-codes",         "bad-region",      "does-not-fit",      "verification-failed"};
  static_assert(std::size(kCodes) == std::variant_size_v<insert::Refusal>);
  return kCodes[refusal.index()];
}

std::string describe_refusal(const insert::Refusal& refusal, const Vocabulary& messages) {
  if (const auto* codes = std::get_if<insert::TooManyCodes>(&refusal)) return describe(*codes, messages);
  return std::visit(
      [](const auto& r) {
        if constexpr (std::is_same_v<std::decay_t<decltype(r)>, insert::TooManyCodes>) {
          return std::string();
        } else {
          return describe(r);
        }
      },
      refusal);
}

}  // namespace talvo::cli
