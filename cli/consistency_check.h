// check's consistency warnings: given the original image, one original
// translated two ways; given a glossary too, a term's target left out.
// Each warning stands at the header of the entry it is about.
#pragma once

#include <string>
#include <vector>

#include "command_line.h"
#include "exchange_texts.h"
#include "glossary.h"
#include "text_checker.h"
#include "text_input.h"

namespace talvo::cli {

struct ConsistencyReference {
  bool given = false;
  BankTexts originals;
  std::vector<exchange::GlossaryTerm> glossary;
  std::string glossary_path;
};

// Reads --original and --glossary where given; false after saying why.
// `vocabularies` write the original in UTF-8, through the tables the files are.
bool load_consistency_reference(const Options& options, const Vocabularies& vocabularies,
                                ConsistencyReference& reference);

// Adds the file's consistency warnings to its diagnostics (file offsets, in
// the order of their place). A file whose entries do not match the
// original's in number gets none: its entry count is an error already.
void add_consistency_warnings(const ConsistencyReference& reference, const TextInput& input, Bank bank,
                              std::vector<Diagnostic>& diagnostics);

}  // namespace talvo::cli
