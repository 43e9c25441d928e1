// Copier headers are told by the file size alone, as the established
// patchers tell them.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "copier_header.h"

namespace talvo {
namespace {

TEST(CopierHeader, SizesPastAWholeKilobyteBy512HaveOne) {
  const struct {
    std::size_t size;
    bool header;
  } cases[] = {{0, false},   {511, false},     {512, true},     {513, false},     {1024, false},
               {1536, true}, {4194304, false}, {4194816, true}, {6291456, false}, {6291968, true}};
  for (const auto& c : cases) EXPECT_EQ(has_copier_header(c.size), c.header) << c.size;
}

TEST(CopierHeader, SplitGivesTheHeaderAndTheCartridgeData) {
  std::vector<std::uint8_t> image(1536);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i / 512 + 1);
  const SplitImage split = split_copier_header(image);
  EXPECT_EQ(split.copier_header.data(), image.data());
  EXPECT_EQ(split.copier_header.size(), 512u);
  EXPECT_EQ(split.cartridge.data(), image.data() + 512);
  EXPECT_EQ(split.cartridge.size(), 1024u);

  const SplitImage plain = split_copier_header(std::span(image).first(1024));
  EXPECT_TRUE(plain.copier_header.empty());
  EXPECT_EQ(plain.cartridge.data(), image.data());
  EXPECT_EQ(plain.cartridge.size(), 1024u);
}

}  // namespace
}  // namespace talvo
