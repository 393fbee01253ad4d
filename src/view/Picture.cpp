#include "view/Picture.h"

#include "base/Error.h"
#include "file/WholeFile.h"

#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstdio>

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

// Where libpng's writer puts its bytes and its reason for failing.
struct PngWriter {
    std::vector<std::uint8_t>* out;
    char error[200];
};

void PngWrite(png_structp png, png_bytep data, png_size_t size)
{
    auto* writer = static_cast<PngWriter*>(png_get_io_ptr(png));
    writer->out->insert(writer->out->end(), data, data + size);
}

void PngFlush(png_structp) {}

[[noreturn]] void PngError(png_structp png, png_const_charp message)
{
    auto* writer = static_cast<PngWriter*>(png_get_error_ptr(png));
    std::snprintf(writer->error, sizeof writer->error, "%s", message);
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

// 8-bit truecolour rows straight from the picture's pixels (libpng drops the
// top byte), compressed at zlib's fastest level without filters: map pictures
// are tiles, which compress well that way, and this is several times faster
// than the default. Returns false with writer.error set when libpng fails.
// Holds no object with a destructor: libpng's error ends in a longjmp here.
bool WritePng(const Picture& picture, PngWriter& writer)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &writer, PngError, PngWarning);
    if (!png) {
        std::snprintf(writer.error, sizeof writer.error, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &writer, PngWrite, PngFlush);
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.Width()), static_cast<png_uint_32>(picture.Height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // A pixel 0xFFRRGGBB is the bytes B, G, R, 0xFF on a little-endian machine, 0xFF, R, G, B on a big-endian one.
    if constexpr (std::endian::native == std::endian::little) {
        png_set_filler(png, 0, PNG_FILLER_AFTER);
        png_set_bgr(png);
    } else {
        png_set_filler(png, 0, PNG_FILLER_BEFORE);
    }
    for (int y = 0; y < picture.Height(); ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(picture.Line(y)));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
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
    std::vector<std::uint8_t> png;
    png.reserve(static_cast<std::size_t>(picture.Width()) * picture.Height());
    PngWriter writer{&png, {}};
    if (!WritePng(picture, writer))
        throw VantrelError(std::string("The picture could not be made a PNG: ") + writer.error);
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
