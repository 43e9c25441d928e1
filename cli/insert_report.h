// What talvo insert tells: the fit report, as text for people or JSON for
// scripts, and why nothing was inserted.
#pragma once

#include <string>

#include "insertion.h"
#include "vocabulary.h"

namespace talvo::cli {

std::string bank_name(Bank bank);

// The report, one bank after another: bytes used against the room (and bits
// for messages), codes in the tree, the regions, the largest entries and
// those that grew most against the input; then what became of the internal
// header's checksum.
std::string fit_report_text(const insert::FitReport& report);

// The same as one JSON object, on one line. A refusal adds its code and
// message ("refusal", "message") to an object whose "inserted" is false.
struct JsonRefusal {
  std::string code;  // refusal_code(), or the command's own: "text-errors", ...
  std::string message;
};
std::string fit_report_json(const insert::FitReport& report, bool inserted, const JsonRefusal* refusal = nullptr);

// A refusal's stable code for scripts: "does-not-fit", "too-many-codes", ...
std::string refusal_code(const insert::Refusal& refusal);

// Why insertion refused, in one or a few lines; the caller adds "talvo: ".
// `messages`: how the text files write message codes (for the codes to replace).
std::string describe_refusal(const insert::Refusal& refusal,
                             const Vocabulary& messages = game_vocabulary(CodeSet::Message));

}  // namespace talvo::cli
