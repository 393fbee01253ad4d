// The atlas picture that ships with the program has the geometry the tile
// lookup assumes: a 24-bit PNG of 256 x 368 pixels.
#include "view/Tiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vantrel {
namespace {

std::uint32_t BigEndian32(const std::string& b, std::size_t at)
{
    return (std::uint32_t{static_cast<unsigned char>(b[at])} << 24) |
           (std::uint32_t{static_cast<unsigned char>(b[at + 1])} << 16) |
           (std::uint32_t{static_cast<unsigned char>(b[at + 2])} << 8) | static_cast<unsigned char>(b[at + 3]);
}

TEST(AtlasFile, IsA24BitPngOfTheAtlasSize)
{
    const auto path = std::filesystem::path(VANTREL_RESOURCES_DIR) / "atlas.png";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian32(bytes, 16), static_cast<std::uint32_t>(kAtlasWidth));
    EXPECT_EQ(BigEndian32(bytes, 20), static_cast<std::uint32_t>(kAtlasHeight));
    EXPECT_EQ(bytes[24], 8);  // bits per sample
    EXPECT_EQ(bytes[25], 2);  // truecolour, no alpha
}

}  // namespace
}  // namespace vantrel
