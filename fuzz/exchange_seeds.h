// The seeds of the exchange files' fuzz targets: PO and CSV files as our
// exports write them and as other tools do, and text files of every bank.
#pragma once

#include <filesystem>

namespace talvo::fuzz {

void write_exchange_seeds(const std::filesystem::path& root);

}  // namespace talvo::fuzz
