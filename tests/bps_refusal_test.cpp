// Patches that a reader must refuse, each written by hand with what is wrong
// with it, and the reasons it gives; no refused patch hands back a target.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bps.h"
#include "bps_number.h"
#include "crc32.h"

namespace talvo::bps {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes_of(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string hex(std::uint32_t crc) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(crc));
  return text;
}

// A patch put together action by action, closed with the checksums a writer
// would add for the given source and target.
class PatchBytes {
 public:
  PatchBytes() : bytes_(bytes_of("BPS1")) {}
  PatchBytes& header(std::uint64_t source_size, std::uint64_t target_size, std::uint64_t metadata_size = 0) {
    return number(source_size).number(target_size).number(metadata_size);
  }
  PatchBytes& number(std::uint64_t value) {
    append_number(bytes_, value);
    return *this;
  }
  PatchBytes& raw(const Bytes& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    return *this;
  }
  PatchBytes& source_read(std::uint64_t length) { return number((length - 1) << 2); }
  PatchBytes& target_read(const std::string& literal) {
    return number((literal.size() - 1) << 2 | 1).raw(bytes_of(literal));
  }
  PatchBytes& source_copy(std::int64_t move, std::uint64_t length) { return copy(2, move, length); }
  PatchBytes& target_copy(std::int64_t move, std::uint64_t length) { return copy(3, move, length); }

  Bytes finish(const Bytes& source, const Bytes& target) const {
    Bytes patch = bytes_;
    for (std::uint32_t crc : {crc32_of(source), crc32_of(target)}) le32(patch, crc);
    le32(patch, crc32_of(patch));
    return patch;
  }
  const Bytes& unfinished() const { return bytes_; }

 private:
  PatchBytes& copy(std::uint64_t kind, std::int64_t move, std::uint64_t length) {
    number((length - 1) << 2 | kind);
    const std::uint64_t distance = move < 0 ? 0 - static_cast<std::uint64_t>(move) : static_cast<std::uint64_t>(move);
    return number(distance << 1 | (move < 0 ? 1 : 0));
  }
  static void le32(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
  }
  Bytes bytes_;
};

const Bytes kSource = bytes_of("0123456789ABCDEFGHIJKLMNOPQRSTUV");  // 32 bytes
const Bytes kTarget = bytes_of("0123wxyz");

Bytes good_patch() { return PatchBytes().header(32, 8).source_read(4).target_read("wxyz").finish(kSource, kTarget); }

Bytes with_byte(Bytes patch, std::size_t at, std::uint8_t value) {
  patch.at(at) = value;
  return patch;
}

void expect_refused(const ApplyResult& result, Failure expected, const std::string& what) {
  EXPECT_EQ(result.failure, expected) << what << ": " << result.message;
  EXPECT_TRUE(result.target.empty()) << what;
  EXPECT_FALSE(result.message.empty()) << what;
  EXPECT_EQ(result.message.find('\n'), std::string::npos) << what;
}

TEST(BpsRefusal, HandWrittenFaultsAreRefusedForTheirReason) {
  const std::uint64_t huge = std::uint64_t{1} << 60;
  Bytes cut = PatchBytes().header(32, 40).target_read(std::string(40, 'x')).finish(kSource, Bytes(40, 'x'));
  cut.resize(30);
  const struct {
    const char* what;
    Bytes patch;
    Failure expected;
  } cases[] = {
      {"an empty file", {}, Failure::NotAPatch},
      {"the first three bytes of the magic alone", bytes_of("BPS"), Failure::Truncated},
      {"another magic", with_byte(good_patch(), 3, '2'), Failure::NotAPatch},
      {"a header without the 12-byte footer", bytes_of("BPS1\x80\x80\x80"), Failure::Truncated},
      // Whole patches, their CRC-32 right, that run into their own footer:
      // made so, not cut short.
      {"the source size never ends before the footer", PatchBytes().raw({0x00, 0x00}).finish(kSource, {}),
       Failure::Malformed},
      {"100 bytes of metadata announced, 3 present",
       PatchBytes().header(32, 0, 100).raw(bytes_of("<a>")).finish(kSource, {}), Failure::Malformed},
      {"a source size past 64 bits", PatchBytes().raw(Bytes(10, 0x00)).raw({0x80, 0x88, 0x80}).finish(kSource, kTarget),
       Failure::Malformed},
      {"a TargetRead of 8 bytes holding 3",
       PatchBytes().header(32, 8).number(7 << 2 | 1).raw(bytes_of("wxy")).finish(kSource, kTarget), Failure::Malformed},
      {"a patch cut in the middle of its literal bytes", cut, Failure::Truncated},
      {"the patch checksum's last byte changed",
       with_byte(good_patch(), good_patch().size() - 1, good_patch().back() ^ 0xFF), Failure::PatchChecksum},
      {"a literal byte changed after the checksum was taken", with_byte(good_patch(), 9, 'W'), Failure::PatchChecksum},
      {"made for a source of 31 bytes",
       PatchBytes().header(31, 4).source_read(4).finish(Bytes(kSource.begin(), kSource.end() - 1), bytes_of("0123")),
       Failure::SourceSize},
      {"a source size that wraps around to 32 when 512 is added",
       PatchBytes().header(0 - std::uint64_t{480}, 0).finish(kSource, {}), Failure::SourceSize},
      {"made for another source of 32 bytes",
       PatchBytes().header(32, 4).source_read(4).finish(Bytes(32, '0'), bytes_of("0000")), Failure::SourceChecksum},
      {"SourceRead past the source's end", PatchBytes().header(32, 40).source_read(40).finish(kSource, Bytes(40, 0)),
       Failure::SourceReadOutside},
      {"SourceCopy from offset -1", PatchBytes().header(32, 4).source_copy(-1, 4).finish(kSource, bytes_of("0123")),
       Failure::SourceReadOutside},
      {"SourceCopy from 30 for 4 bytes of a 32-byte source",
       PatchBytes().header(32, 4).source_copy(30, 4).finish(kSource, bytes_of("UV01")), Failure::SourceReadOutside},
      {"SourceCopy from offset 40", PatchBytes().header(32, 1).source_copy(40, 1).finish(kSource, bytes_of("0")),
       Failure::SourceReadOutside},
      {"TargetCopy before anything is written",
       PatchBytes().header(32, 4).target_copy(0, 4).finish(kSource, Bytes(4, 0)), Failure::TargetCopyOutside},
      {"TargetCopy moved back by 0 (0x81) before anything is written",
       PatchBytes().header(32, 4).number(3 << 2 | 3).raw({0x81}).finish(kSource, Bytes(4, 0)),
       Failure::TargetCopyOutside},
      {"TargetCopy from the write position",
       PatchBytes().header(32, 3).target_read("ab").target_copy(2, 1).finish(kSource, bytes_of("abb")),
       Failure::TargetCopyOutside},
      {"TargetCopy from offset -1",
       PatchBytes().header(32, 3).target_read("ab").target_copy(-1, 1).finish(kSource, bytes_of("aba")),
       Failure::TargetCopyOutside},
      {"a SourceRead of 5 bytes into a 4-byte target",
       PatchBytes().header(32, 4).source_read(5).finish(kSource, bytes_of("0123")), Failure::TargetOverrun},
      {"actions that write 4 of 8 bytes", PatchBytes().header(32, 8).source_read(4).finish(kSource, kTarget),
       Failure::TargetSize},
      {"the target's checksum is another's",
       PatchBytes().header(32, 8).source_read(4).target_read("wxyz").finish(kSource, bytes_of("0123wxyZ")),
       Failure::TargetChecksum},
      {"a run that makes a target of 2^60 bytes",
       PatchBytes().header(32, huge).target_read("a").target_copy(0, huge - 1).finish(kSource, {}),
       Failure::TargetTooLarge},
  };
  for (const auto& c : cases) expect_refused(bps::apply(c.patch, kSource), c.expected, c.what);
}

TEST(BpsRefusal, OverlappingTargetCopyRepeatsWhatItCopies) {
  const Bytes run = bytes_of("abababababa");
  const Bytes patch = PatchBytes().header(0, 11).target_read("ab").target_copy(0, 9).finish({}, run);
  const ApplyResult result = bps::apply(patch, {});
  ASSERT_TRUE(result.ok()) << result.message;
  EXPECT_EQ(result.target, run);
}

TEST(BpsRefusal, WrongSourceMessageNamesBothChecksums) {
  Bytes other = kSource;
  other[5] = '!';
  const ApplyResult result = bps::apply(good_patch(), other);
  EXPECT_EQ(result.failure, Failure::SourceChecksum);
  EXPECT_NE(result.message.find(hex(crc32_of(other))), std::string::npos) << result.message;
  EXPECT_NE(result.message.find(hex(crc32_of(kSource))), std::string::npos) << result.message;
}

// A source 512 bytes longer is the patch's source behind a copier header
// only when the rest has the source's checksum; a source 512 bytes shorter
// has no header to check, so the message can only suggest one.
TEST(BpsRefusal, CopierHeaderIsNamedOnlyWhenTheChecksumShowsIt) {
  Bytes cartridge(4096);
  for (std::size_t i = 0; i < cartridge.size(); ++i) cartridge[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  Bytes target = cartridge;
  target[100] ^= 0xFF;
  Bytes headered(512, 0);
  headered.insert(headered.end(), cartridge.begin(), cartridge.end());
  Bytes headered_other = headered;
  headered_other[600] ^= 1;

  const ApplyResult with_header = bps::apply(bps::create(cartridge, target), headered);
  EXPECT_EQ(with_header.failure, Failure::SourceHasCopierHeader) << with_header.message;
  EXPECT_NE(with_header.message.find(hex(crc32_of(cartridge))), std::string::npos) << with_header.message;

  const ApplyResult other = bps::apply(bps::create(cartridge, target), headered_other);
  EXPECT_EQ(other.failure, Failure::SourceSize) << other.message;
  EXPECT_NE(other.message.find("another file"), std::string::npos) << other.message;

  Bytes headered_target(512, 0);
  headered_target.insert(headered_target.end(), target.begin(), target.end());
  const ApplyResult without_header = bps::apply(bps::create(headered, headered_target), cartridge);
  EXPECT_EQ(without_header.failure, Failure::SourceSize) << without_header.message;
  EXPECT_NE(without_header.message.find("perhaps"), std::string::npos) << without_header.message;
  EXPECT_NE(without_header.message.find("copier header"), std::string::npos) << without_header.message;

  const Bytes odd(cartridge.begin(), cartridge.end() - 1);
  const ApplyResult plain = bps::apply(bps::create(cartridge, target), odd);
  EXPECT_EQ(plain.failure, Failure::SourceSize);
  EXPECT_EQ(plain.message.find("copier header"), std::string::npos) << plain.message;
}

TEST(BpsRefusal, HeaderIsReadWithoutTheChecksumsBeingJudged) {
  const Bytes patch =
      PatchBytes().header(32, 8, 5).raw(bytes_of("<x/>!")).source_read(4).target_read("wxyz").finish(kSource, kTarget);
  const Bytes damaged = with_byte(patch, patch.size() - 1, patch.back() ^ 0xFF);
  const HeaderResult read = read_header(damaged);
  ASSERT_EQ(read.failure, Failure::None) << read.message;
  EXPECT_EQ(read.header.source_size, 32u);
  EXPECT_EQ(read.header.target_size, 8u);
  EXPECT_EQ(Bytes(read.header.metadata.begin(), read.header.metadata.end()), bytes_of("<x/>!"));
  EXPECT_EQ(read.header.source_crc, crc32_of(kSource));
  EXPECT_EQ(read.header.target_crc, crc32_of(kTarget));
  EXPECT_EQ(read_header(bytes_of("BPS1")).failure, Failure::Truncated);
}

}  // namespace
}  // namespace talvo::bps
