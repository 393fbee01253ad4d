// Writes a C++ source that holds a PNG picture's pixels, ready to draw, for
// pictures the program carries inside itself: no picture is decoded when the
// program runs. Run by the build as
//   vantrel-embed-picture PICTURE.png OUTPUT.cpp SYMBOL
// which defines SYMBOL (the pixels, 0xFFRRGGBB, row after row), SYMBOLWidth
// and SYMBOLHeight. The output is rewritten only when it changes.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PICTURE.png OUTPUT.cpp SYMBOL\n", argv[0]);
        return 2;
    }
    const std::string input = argv[1], output = argv[2], symbol = argv[3];
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, input.c_str())) {
        std::fprintf(stderr, "%s: %s\n", input.c_str(), image.message);
        return 1;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        std::fprintf(stderr, "%s: %s\n", input.c_str(), image.message);
        png_image_free(&image);
        return 1;
    }

    std::ostringstream out;
    out << "// Made by vantrel-embed-picture from " << input << "; do not edit.\n"
        << "#include <cstdint>\n"
        << "extern const std::uint32_t " << symbol << "[];\n"
        << "extern const int " << symbol << "Width;\n"
        << "extern const int " << symbol << "Height;\n"
        << "const int " << symbol << "Width = " << image.width << ";\n"
        << "const int " << symbol << "Height = " << image.height << ";\n"
        << "const std::uint32_t " << symbol << "[] = {\n";
    char word[16];
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        const std::uint32_t pixel = 0xFF000000u | std::uint32_t{rgb[i]} << 16 | std::uint32_t{rgb[i + 1]} << 8 | rgb[i + 2];
        std::snprintf(word, sizeof word, "0x%08Xu,", static_cast<unsigned>(pixel));
        out << word << ((i / 3) % 8 == 7 ? "\n" : "");
    }
    out << "};\n";

    std::ifstream old(output, std::ios::binary);
    const std::string before((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
    if (before == out.str()) return 0;
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file << out.str();
    return file.good() ? 0 : 1;
}
