// Patches made by an established patcher (../shared/golden/bps): each one
// listed as good gives its target, each one listed as bad is refused for the
// listed reason, and our own patch of the same pair gives the same target and
// is no larger than the established patcher's.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bps.h"
#include "copier_header.h"
#include "crc32.h"
#include "support/sha256.h"

namespace talvo::bps {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const fs::path kGolden = fs::path(TALVO_GOLDEN_DIR);

Bytes read_file(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot open " + path.string());
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

Bytes read_gzip(const fs::path& path) {
  gzFile file = gzopen(path.c_str(), "rb");
  if (file == nullptr) throw std::runtime_error("cannot open " + path.string());
  Bytes bytes;
  std::uint8_t block[1 << 16];
  int count;
  while ((count = gzread(file, block, sizeof block)) > 0) bytes.insert(bytes.end(), block, block + count);
  gzclose(file);
  if (count < 0) throw std::runtime_error("cannot unpack " + path.string());
  return bytes;
}

struct Row {
  std::string patch, source, target_size, target_crc, target_sha256, expect;
};

std::vector<Row> manifest() {
  std::ifstream file(kGolden / "bps" / "MANIFEST.tsv");
  std::vector<Row> rows;
  std::string line;
  std::getline(file, line);  // the column names
  while (std::getline(file, line)) {
    if (line.empty()) continue;
    std::istringstream fields(line);
    Row row;
    for (std::string* field :
         {&row.patch, &row.source, &row.target_size, &row.target_crc, &row.target_sha256, &row.expect}) {
      std::getline(fields, *field, '\t');
    }
    rows.push_back(row);
  }
  return rows;
}

// The file a row's patch applies to, as the manifest describes it: a path,
// gzip-packed or not, perhaps with its copier
// header to remove; or an empty file.
const Bytes& source_of(const Row& row) {
  static std::map<std::string, Bytes> sources;
  if (auto found = sources.find(row.source); found != sources.end()) return found->second;
  Bytes bytes;
  if (row.source != "an empty file") {
    const std::string name = row.source.substr(0, row.source.find(','));
    // Beside the patches, or one of the reference images beside their folder.
    const fs::path path = fs::exists(kGolden / "bps" / name) ? kGolden / "bps" / name : kGolden / name;
    bytes = name.ends_with(".gz") ? read_gzip(path) : read_file(path);
    if (row.source.find("copier header removed") != std::string::npos) {
      EXPECT_TRUE(has_copier_header(bytes.size())) << row.source;
      const SplitImage split = split_copier_header(bytes);
      bytes.assign(split.cartridge.begin(), split.cartridge.end());
    } else {
      EXPECT_EQ(row.source, name) << "a source this test does not know";
    }
  }
  return sources.emplace(row.source, std::move(bytes)).first->second;
}

std::string hex(std::uint32_t crc) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(crc));
  return text;
}

// Skips each test where the known-answer patches are missing, and fails it
// on CI, where they must be.
class BpsGolden : public ::testing::Test {
 protected:
  void SetUp() override {
    if (fs::exists(kGolden / "bps" / "MANIFEST.tsv")) return;
    if (std::getenv("CI") != nullptr) FAIL() << "known-answer patches missing: " << kGolden / "bps";
    GTEST_SKIP() << "known-answer patches missing: " << kGolden / "bps";
  }
};

TEST_F(BpsGolden, GoodPatchesGiveTheListedTarget) {
  int applied = 0;
  for (const Row& row : manifest()) {
    if (row.expect != "ok") continue;
    SCOPED_TRACE(row.patch);
    const ApplyResult result = bps::apply(read_file(kGolden / "bps" / row.patch), source_of(row));
    ASSERT_TRUE(result.ok()) << result.message;
    EXPECT_EQ(std::to_string(result.target.size()), row.target_size);
    EXPECT_EQ(hex(crc32_of(result.target)), row.target_crc);
    EXPECT_EQ(testing::sha256_hex(result.target), row.target_sha256);
    ++applied;
  }
  EXPECT_GE(applied, 7);
}

TEST_F(BpsGolden, BadPatchesAreRefusedForTheListedReason) {
  const std::map<std::string, Failure> reasons = {
      {"refused: patch checksum", Failure::PatchChecksum},
      {"refused: truncated", Failure::Truncated},
      {"refused: made for another source (source CRC-32)", Failure::SourceChecksum},
      {"refused: SourceCopy outside the source", Failure::SourceReadOutside},
  };
  int refused = 0;
  for (const Row& row : manifest()) {
    if (row.expect == "ok") continue;
    SCOPED_TRACE(row.patch);
    const auto reason = reasons.find(row.expect);
    ASSERT_NE(reason, reasons.end()) << "a reason this test does not know: " << row.expect;
    const ApplyResult result = bps::apply(read_file(kGolden / "bps" / row.patch), source_of(row));
    EXPECT_EQ(result.failure, reason->second) << result.message;
    EXPECT_TRUE(result.target.empty());
    ++refused;
  }
  EXPECT_GE(refused, 4);
}

TEST_F(BpsGolden, OurPatchOfEachPairGivesTheTargetAndIsNoLarger) {
  for (const Row& row : manifest()) {
    if (row.expect != "ok") continue;
    SCOPED_TRACE(row.patch);
    const Bytes theirs = read_file(kGolden / "bps" / row.patch);
    const Bytes& source = source_of(row);
    const ApplyResult target = bps::apply(theirs, source);
    ASSERT_TRUE(target.ok()) << target.message;
    const Bytes ours = bps::create(source, target.target, read_header(theirs).header.metadata);
    const ApplyResult again = bps::apply(ours, source);
    ASSERT_TRUE(again.ok()) << again.message;
    EXPECT_TRUE(again.target == target.target);
    EXPECT_LE(ours.size(), theirs.size()) << "ours " << ours.size() << ", theirs " << theirs.size();
    std::cout << row.patch << ": ours " << ours.size() << " bytes, theirs " << theirs.size() << "\n";
  }
}

}  // namespace
}  // namespace talvo::bps
