#include "view/Picture.h"

#include "base/Error.h"
#include "level/WholeFile.h"

#include <png.h>

#include <cstring>

namespace vantrel {

namespace {

constexpr std::uint32_t kDotsPerMeter = 3780;  // 96 dots an inch
constexpr std::uint32_t kBmpHeaderSize = 14 + 40;

void PutLittle16(std::uint8_t* at, std::uint32_t v)
{
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutLittle32(std::uint8_t* at, std::uint32_t v)
{
    PutLittle16(at, v);
    PutLittle16(at + 2, v >> 16);
}

// Three bytes a pixel, red first, row after row: what libpng reads and writes.
std::vector<std::uint8_t> RgbBytes(const Picture& picture)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(picture.Width()) * picture.Height() * 3);
    std::uint8_t* out = rgb.data();
    for (int y = 0; y < picture.Height(); ++y) {
        const Rgb* line = picture.Line(y);
        for (int x = 0; x < picture.Width(); ++x) {
            *out++ = static_cast<std::uint8_t>(line[x] >> 16);
            *out++ = static_cast<std::uint8_t>(line[x] >> 8);
            *out++ = static_cast<std::uint8_t>(line[x]);
        }
    }
    return rgb;
}

// Frees libpng's state of one read however the read ends.
struct PngImage {
    png_image image{};
    PngImage() { image.version = PNG_IMAGE_VERSION; }
    ~PngImage() { png_image_free(&image); }
};

}  // namespace

Picture::Picture(int width, int height, Rgb fill)
    : width_(width > 0 && height > 0 ? width : 0),
      height_(width > 0 && height > 0 ? height : 0),
      pixels_(static_cast<std::size_t>(width_) * height_, fill)
{
}

Picture DecodePng(const std::uint8_t* bytes, std::size_t size)
{
    PngImage png;
    if (!png_image_begin_read_from_memory(&png.image, bytes, size))
        throw VantrelError(std::string("The picture is no readable PNG: ") + png.image.message);
    png.image.format = PNG_FORMAT_RGB;
    const int width = static_cast<int>(png.image.width), height = static_cast<int>(png.image.height);
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(png.image));
    if (!png_image_finish_read(&png.image, nullptr, rgb.data(), 0, nullptr))
        throw VantrelError(std::string("The picture is no readable PNG: ") + png.image.message);
    Picture picture(width, height);
    const std::uint8_t* in = rgb.data();
    for (int y = 0; y < height; ++y) {
        Rgb* line = picture.Line(y);
        for (int x = 0; x < width; ++x, in += 3)
            line[x] = 0xFF000000u | static_cast<Rgb>(in[0]) << 16 | static_cast<Rgb>(in[1]) << 8 | in[2];
    }
    return picture;
}

std::vector<std::uint8_t> EncodePng(const Picture& picture)
{
    if (picture.Empty()) throw VantrelError("An empty picture cannot be written");
    const std::vector<std::uint8_t> rgb = RgbBytes(picture);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.Width());
    image.height = static_cast<png_uint_32>(picture.Height());
    image.format = PNG_FORMAT_RGB;
    image.flags = PNG_IMAGE_FLAG_FAST;  // tiles compress well without the slow filters
    png_alloc_size_t size = 0;
    // The first call measures, the second writes.
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr))
        throw VantrelError(std::string("The picture could not be made a PNG: ") + image.message);
    std::vector<std::uint8_t> png(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, rgb.data(), 0, nullptr))
        throw VantrelError(std::string("The picture could not be made a PNG: ") + image.message);
    png.resize(size);
    return png;
}

std::vector<std::uint8_t> EncodeBmp(const Picture& picture)
{
    if (picture.Empty()) throw VantrelError("An empty picture cannot be written");
    const std::uint32_t width = static_cast<std::uint32_t>(picture.Width());
    const std::uint32_t height = static_cast<std::uint32_t>(picture.Height());
    const std::uint32_t rowBytes = (width * 3 + 3) / 4 * 4;
    const std::uint32_t dataBytes = rowBytes * height;
    std::vector<std::uint8_t> bmp(kBmpHeaderSize + dataBytes, 0);
    std::uint8_t* h = bmp.data();
    h[0] = 'B';
    h[1] = 'M';
    PutLittle32(h + 2, kBmpHeaderSize + dataBytes);  // file size; 4 reserved bytes stay 0
    PutLittle32(h + 10, kBmpHeaderSize);             // where the pixels start
    PutLittle32(h + 14, 40);                         // the size of this header
    PutLittle32(h + 18, width);
    PutLittle32(h + 22, height);                     // positive: bottom-up rows
    PutLittle16(h + 26, 1);                          // planes
    PutLittle16(h + 28, 24);                         // bits a pixel; no compression
    PutLittle32(h + 34, dataBytes);
    PutLittle32(h + 38, kDotsPerMeter);
    PutLittle32(h + 42, kDotsPerMeter);              // no colour table
    std::uint8_t* out = bmp.data() + kBmpHeaderSize;
    for (int y = picture.Height() - 1; y >= 0; --y, out += rowBytes) {
        const Rgb* line = picture.Line(y);
        std::uint8_t* b = out;
        for (std::uint32_t x = 0; x < width; ++x) {
            *b++ = static_cast<std::uint8_t>(line[x]);
            *b++ = static_cast<std::uint8_t>(line[x] >> 8);
            *b++ = static_cast<std::uint8_t>(line[x] >> 16);
        }
    }
    return bmp;
}

void SavePicture(const Picture& picture, const std::string& path, PictureFormat format)
{
    if (picture.Empty()) throw VantrelError("The picture could not be written to " + path);
    WriteWholeFile(path, format == PictureFormat::Png ? EncodePng(picture) : EncodeBmp(picture));
}

}  // namespace vantrel
