// Pictures in the core: a 32-bit RGB picture in memory, PNG read and written
// through libpng, Windows bitmaps written by a few lines of our own. The
// level view's "Save Image", the window's tiles and "vantrel-cli render" all
// go through it, so the same map gives the same file everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

// One pixel: 0xFFRRGGBB (the top byte is always 0xFF), the layout a window
// toolkit's 32-bit RGB picture has on a little-endian machine.
using Rgb = std::uint32_t;
inline constexpr Rgb kWhite = 0xFFFFFFFF;

class Picture {
public:
    Picture() = default;
    Picture(int width, int height, Rgb fill = kWhite);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    Rgb* Line(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const Rgb* Line(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    Rgb At(int x, int y) const { return Line(y)[x]; }
    void Set(int x, int y, Rgb rgb) { Line(y)[x] = rgb; }
    bool operator==(const Picture&) const = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> pixels_;
};

// The picture held by PNG bytes, any colour type, made opaque RGB. Throws
// VantrelError with libpng's reason when the bytes are no readable PNG.
Picture DecodePng(const std::uint8_t* bytes, std::size_t size);

// The picture as a PNG file: 8-bit truecolour, no alpha, zlib's fastest level.
std::vector<std::uint8_t> EncodePng(const Picture& picture);

// The picture as a Windows bitmap: 24 bits a pixel, rows bottom-up, each row
// padded to 4 bytes, 96 dots an inch.
std::vector<std::uint8_t> EncodeBmp(const Picture& picture);

enum class PictureFormat { Bmp, Png };

// Writes the picture to path whole (a new file renamed into place). Throws
// VantrelError naming the file when it cannot be written.
void SavePicture(const Picture& picture, const std::string& path, PictureFormat format);

}  // namespace vantrel
