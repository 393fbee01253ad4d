// What vantrel-cli prints and writes for every level file of the corpus stays
// what it was: the table holds CRC-32 checksums of the output of `load --map`,
// `ce`, `ce 1` (standard output, "#", standard error, "#", the exit status;
// the temporary folder written as DIR and the load's milliseconds as N) and
// of the bytes of `render ... map.bmp`, made by tests/corpus/corpus_outputs.py
// with the build before the picture module replaced Qt's image writer. So the
// bitmap writer is held to the bytes Qt wrote. (The one level whose custom
// elements draw with other elements' graphics, tutorial 042, was written again
// when custom elements began to be drawn as their records say.) `render ... map.png` must hold
// the same pixels: its PNG, decoded and written as a bitmap by the core, is
// those same bitmap bytes.
#include "support/RunCli.h"
#include "support/TempDir.h"
#include "view/Picture.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <regex>
#include <string>

namespace vantrel {
namespace {

namespace fs = std::filesystem;

struct Expected {
    const char* level;  // relative to the corpus
    std::uint32_t load, ce, ceFirst, bmp;
};

// Made by: python3 tests/corpus/corpus_outputs.py build/vantrel-cli ../shared/corpus
constexpr Expected kExpected[] = {
    {"levels/Classic_Games/classic_sokoban/001.level", 0x17d832ebu, 0x06241dd7u, 0xee96bc36u, 0xcf830ff0u},
    {"levels/Classic_Games/classic_sokoban/002.level", 0x7587d6d3u, 0x06241dd7u, 0xee96bc36u, 0xaf93d604u},
    {"levels/Classic_Games/classic_sokoban/003.level", 0xf56956c9u, 0x06241dd7u, 0xee96bc36u, 0x483a503bu},
    {"levels/Classic_Games/classic_sokoban/004.level", 0xdeb64036u, 0x06241dd7u, 0xee96bc36u, 0xd346bd7du},
    {"levels/Classic_Games/classic_sokoban/005.level", 0xe601ca95u, 0x06241dd7u, 0xee96bc36u, 0xefb3bcb1u},
    {"levels/Classic_Games/classic_sokoban/006.level", 0xcbd41689u, 0x06241dd7u, 0xee96bc36u, 0xc414139cu},
    {"levels/Classic_Games/classic_sokoban/007.level", 0xcde9d35cu, 0x06241dd7u, 0xee96bc36u, 0x006d072cu},
    {"levels/Classic_Games/classic_sokoban/008.level", 0x90d6f0b1u, 0x06241dd7u, 0xee96bc36u, 0x83ca63feu},
    {"levels/Classic_Games/classic_sokoban/009.level", 0x1c7c5428u, 0x06241dd7u, 0xee96bc36u, 0x3a2bbf7eu},
    {"levels/Classic_Games/classic_sokoban/010.level", 0x68cb02c0u, 0x06241dd7u, 0xee96bc36u, 0x5d86378cu},
    {"levels/Classic_Games/classic_sokoban/011.level", 0x698b201fu, 0x06241dd7u, 0xee96bc36u, 0x9ae56994u},
    {"levels/Classic_Games/classic_sokoban/012.level", 0x4e61dadcu, 0x06241dd7u, 0xee96bc36u, 0xc161563fu},
    {"levels/Classic_Games/classic_sokoban/013.level", 0x3c2d259du, 0x06241dd7u, 0xee96bc36u, 0x08f11f8cu},
    {"levels/Classic_Games/classic_sokoban/014.level", 0x10b49097u, 0x06241dd7u, 0xee96bc36u, 0x0a1fefa0u},
    {"levels/Classic_Games/classic_sokoban/015.level", 0xcce2705eu, 0x06241dd7u, 0xee96bc36u, 0xe4e29b6cu},
    {"levels/Classic_Games/classic_sokoban/016.level", 0x8061d89fu, 0x06241dd7u, 0xee96bc36u, 0x72aa198fu},
    {"levels/Classic_Games/classic_sokoban/017.level", 0x6b328b1bu, 0x06241dd7u, 0xee96bc36u, 0xb0dd68fdu},
    {"levels/Classic_Games/classic_sokoban/018.level", 0x84077a4du, 0x06241dd7u, 0xee96bc36u, 0x05cb8518u},
    {"levels/Classic_Games/classic_sokoban/019.level", 0xccda35f8u, 0x06241dd7u, 0xee96bc36u, 0xc04d4fe9u},
    {"levels/Classic_Games/classic_sokoban/020.level", 0x613cd302u, 0x06241dd7u, 0xee96bc36u, 0x76061e47u},
    {"levels/Classic_Games/classic_sokoban/021.level", 0xfa428072u, 0x06241dd7u, 0xee96bc36u, 0xb7947d38u},
    {"levels/Classic_Games/classic_sokoban/022.level", 0xda1c0de4u, 0x06241dd7u, 0xee96bc36u, 0x641f5f7eu},
    {"levels/Classic_Games/classic_sokoban/023.level", 0x1757c9f3u, 0x06241dd7u, 0xee96bc36u, 0xa0fdb81au},
    {"levels/Classic_Games/classic_sokoban/024.level", 0x2f96f9a1u, 0x06241dd7u, 0xee96bc36u, 0xe10a43a7u},
    {"levels/Classic_Games/classic_sokoban/025.level", 0x9d39aae7u, 0x06241dd7u, 0xee96bc36u, 0x75d27279u},
    {"levels/Classic_Games/classic_sokoban/026.level", 0xea61063au, 0x06241dd7u, 0xee96bc36u, 0xb1abb8f5u},
    {"levels/Classic_Games/classic_sokoban/027.level", 0x494406f2u, 0x06241dd7u, 0xee96bc36u, 0x90253d62u},
    {"levels/Classic_Games/classic_sokoban/028.level", 0x1c6bcf4cu, 0x06241dd7u, 0xee96bc36u, 0xa5d66dbbu},
    {"levels/Classic_Games/classic_sokoban/029.level", 0x04c0f683u, 0x06241dd7u, 0xee96bc36u, 0x9e7e9679u},
    {"levels/Classic_Games/classic_sokoban/030.level", 0x789a73a2u, 0x06241dd7u, 0xee96bc36u, 0x9027d72du},
    {"levels/Classic_Games/classic_sokoban/031.level", 0xffa988aeu, 0x06241dd7u, 0xee96bc36u, 0xfcfa9785u},
    {"levels/Classic_Games/classic_sokoban/032.level", 0x13632357u, 0x06241dd7u, 0xee96bc36u, 0xb62850d4u},
    {"levels/Classic_Games/classic_sokoban/033.level", 0xefb3f8dau, 0x06241dd7u, 0xee96bc36u, 0x79c3b1dfu},
    {"levels/Classic_Games/classic_sokoban/034.level", 0x45fc97cbu, 0x06241dd7u, 0xee96bc36u, 0xbeb090f3u},
    {"levels/Classic_Games/classic_sokoban/035.level", 0x3a197506u, 0x06241dd7u, 0xee96bc36u, 0x1efd006cu},
    {"levels/Classic_Games/classic_sokoban/036.level", 0xaac8e510u, 0x06241dd7u, 0xee96bc36u, 0xf4f52675u},
    {"levels/Classic_Games/classic_sokoban/037.level", 0xcd0fc9adu, 0x06241dd7u, 0xee96bc36u, 0x7f6b6b55u},
    {"levels/Classic_Games/classic_sokoban/038.level", 0xbac15834u, 0x06241dd7u, 0xee96bc36u, 0x61928d5du},
    {"levels/Classic_Games/classic_sokoban/039.level", 0x66b821fcu, 0x06241dd7u, 0xee96bc36u, 0x85d32002u},
    {"levels/Classic_Games/classic_sokoban/040.level", 0x2766fab5u, 0x06241dd7u, 0xee96bc36u, 0xedaa49c8u},
    {"levels/Classic_Games/classic_sokoban/041.level", 0xfaa8dadfu, 0x06241dd7u, 0xee96bc36u, 0x182a7118u},
    {"levels/Classic_Games/classic_sokoban/042.level", 0x90ccc5f9u, 0x06241dd7u, 0xee96bc36u, 0x32d02d17u},
    {"levels/Classic_Games/classic_sokoban/043.level", 0xbae929e4u, 0x06241dd7u, 0xee96bc36u, 0xebd59710u},
    {"levels/Classic_Games/classic_sokoban/044.level", 0x68d4fde6u, 0x06241dd7u, 0xee96bc36u, 0x687a253eu},
    {"levels/Classic_Games/classic_sokoban/045.level", 0x21ece0e2u, 0x06241dd7u, 0xee96bc36u, 0x9de45662u},
    {"levels/Classic_Games/classic_sokoban/046.level", 0x2b090175u, 0x06241dd7u, 0xee96bc36u, 0x625c34f6u},
    {"levels/Classic_Games/classic_sokoban/047.level", 0xa513c61du, 0x06241dd7u, 0xee96bc36u, 0x97c588c3u},
    {"levels/Classic_Games/classic_sokoban/048.level", 0xda9b2de4u, 0x06241dd7u, 0xee96bc36u, 0x8aad1e36u},
    {"levels/Classic_Games/classic_sokoban/049.level", 0x049ce785u, 0x06241dd7u, 0xee96bc36u, 0x26b40dedu},
    {"levels/Classic_Games/classic_sokoban/050.level", 0xeb711ca6u, 0x06241dd7u, 0xee96bc36u, 0x01a815e1u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/001.level", 0x64ebd83fu, 0x06241dd7u, 0xee96bc36u, 0x1019ca33u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/002.level", 0xd09b9bb5u, 0x06241dd7u, 0xee96bc36u, 0x51ef79c7u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/003.level", 0xbc3e8db9u, 0x06241dd7u, 0xee96bc36u, 0xb6c49ab6u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/004.level", 0x72c51df5u, 0x06241dd7u, 0xee96bc36u, 0x79c40603u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/005.level", 0x186aa84au, 0x06241dd7u, 0xee96bc36u, 0xa892e9d9u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/006.level", 0x657ac7eeu, 0x7c48496fu, 0xbc1b3191u, 0x5cd379a6u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/007.level", 0x75aeccd1u, 0x06241dd7u, 0xee96bc36u, 0x5d994ebeu},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/008.level", 0x8fb5d623u, 0x06241dd7u, 0xee96bc36u, 0xfbaaea11u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/009.level", 0x86434b8du, 0x06241dd7u, 0xee96bc36u, 0xe2b4a803u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/010.level", 0x34f04cb5u, 0x06241dd7u, 0xee96bc36u, 0x0649c053u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/011.level", 0x06b73830u, 0x06241dd7u, 0xee96bc36u, 0xfd166951u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/012.level", 0xac438698u, 0x06241dd7u, 0xee96bc36u, 0x7538be03u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/013.level", 0xb8c39bb6u, 0x06241dd7u, 0xee96bc36u, 0x51ba6e01u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/014.level", 0xcf6411a5u, 0x06241dd7u, 0xee96bc36u, 0xc3e48dd3u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/015.level", 0xd7b528f1u, 0x06241dd7u, 0xee96bc36u, 0x15f86174u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/016.level", 0x2f48ee8bu, 0x06241dd7u, 0xee96bc36u, 0xca35f2b8u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/017.level", 0xe391b73eu, 0x06241dd7u, 0xee96bc36u, 0xaa71b8b0u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/018.level", 0xf8891305u, 0x06241dd7u, 0xee96bc36u, 0x494b29d8u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/019.level", 0x8f42959cu, 0x06241dd7u, 0xee96bc36u, 0xec7c08c9u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/020.level", 0xea0eb02bu, 0x06241dd7u, 0xee96bc36u, 0x0bbca364u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/021.level", 0x80fc69beu, 0x06241dd7u, 0xee96bc36u, 0x9e2819ebu},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/022.level", 0xf9a0276au, 0x06241dd7u, 0xee96bc36u, 0x6cd8f241u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/023.level", 0x2212d334u, 0x06241dd7u, 0xee96bc36u, 0xb007acd6u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/024.level", 0x78d23ae5u, 0x06241dd7u, 0xee96bc36u, 0x7e3f757au},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/025.level", 0x6d02d074u, 0xb45a85e9u, 0x26c87d97u, 0x87427343u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/026.level", 0x0c27ee76u, 0x06241dd7u, 0xee96bc36u, 0x14a1ccd0u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/027.level", 0x58f28aa1u, 0x06241dd7u, 0xee96bc36u, 0xa38b4700u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/028.level", 0x6723134fu, 0x06241dd7u, 0xee96bc36u, 0x99a7582bu},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/029.level", 0x878da3c9u, 0x06241dd7u, 0xee96bc36u, 0x56bd2c15u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/030.level", 0x19bff15fu, 0x06241dd7u, 0xee96bc36u, 0x725eaeabu},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/031.level", 0x71ef1d48u, 0x06241dd7u, 0xee96bc36u, 0x12db4a80u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/032.level", 0x98c274b9u, 0x06241dd7u, 0xee96bc36u, 0x77e1b2bau},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/033.level", 0x0ea88cdbu, 0x06241dd7u, 0xee96bc36u, 0x24f408edu},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/034.level", 0xbf64fe9bu, 0x06241dd7u, 0xee96bc36u, 0x35f9cff3u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/035.level", 0x02d98a29u, 0x06241dd7u, 0xee96bc36u, 0x74182f70u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/036.level", 0x70cfca57u, 0x06241dd7u, 0xee96bc36u, 0xec021f2au},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/037.level", 0xa2c721d1u, 0x06241dd7u, 0xee96bc36u, 0xb0ee5e1cu},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/038.level", 0xb5f28fbdu, 0x06241dd7u, 0xee96bc36u, 0x3e3365c3u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/039.level", 0xe39708b2u, 0x06241dd7u, 0xee96bc36u, 0xa069336du},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/040.level", 0xc0e57902u, 0x06241dd7u, 0xee96bc36u, 0xb92e6bc2u},
    {"levels/Tutorials/rnd_tutorial_niko_boehm/042.level", 0x53eef0e9u, 0x8323d9f9u, 0xb4a01f74u, 0x9de1bd98u},
};

std::uint32_t Crc(const std::string& bytes)
{
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// What the program printed, its folder's name replaced, and the text's CRC.
struct Output {
    std::uint32_t crc;
    std::string text;
};

Output Printed(const std::vector<std::string>& args, const test::TempDir& dir)
{
    const test::CliResult r = test::RunCli(args, dir);
    std::string text = r.out + "#\n" + r.err + "#" + std::to_string(r.status);
    const std::string folder = dir.Path().string();
    // A name in the folder reads "DIR/name" with the system's separator ("\\" on Windows).
    const std::string inFolder = (dir.Path() / "").string();
    for (std::size_t at = 0; (at = text.find(inFolder, at)) != std::string::npos; at += 4)
        text.replace(at, inFolder.size(), "DIR/");
    for (std::size_t at = 0; (at = text.find(folder, at)) != std::string::npos; at += 3) text.replace(at, folder.size(), "DIR");
    text = std::regex_replace(text, std::regex("loaded in [0-9]+ milliseconds"), "loaded in N milliseconds");
    return {Crc(text), text};
}

class CorpusOutputs : public testing::TestWithParam<Expected> {};

TEST_P(CorpusOutputs, AreWhatTheyWere)
{
    const Expected& want = GetParam();
    const fs::path corpus = test::CorpusDir();
    if (corpus.empty() || !fs::exists(corpus / want.level)) GTEST_SKIP() << "the level corpus is absent";
    test::TempDir dir;
    const std::string level = (dir.Path() / fs::path(want.level).filename()).string();
    fs::copy_file(corpus / want.level, level);
    const struct {
        std::vector<std::string> args;
        std::uint32_t crc;
    } commands[] = {{{"load", level, "--map"}, want.load}, {{"ce", level}, want.ce}, {{"ce", level, "1"}, want.ceFirst}};
    for (const auto& command : commands) {
        const Output printed = Printed(command.args, dir);
        EXPECT_EQ(printed.crc, command.crc) << command.args[0] << " printed:\n" << printed.text;
    }
    const std::string bmp = (dir.Path() / "map.bmp").string(), png = (dir.Path() / "map.png").string();
    ASSERT_EQ(test::RunCli({"render", level, bmp}, dir).status, 0);
    ASSERT_EQ(test::RunCli({"render", level, png}, dir).status, 0);
    const std::string bmpBytes = test::ReadText(bmp), pngBytes = test::ReadText(png);
    EXPECT_EQ(Crc(bmpBytes), want.bmp) << "render .bmp";
    const std::vector<std::uint8_t> fromPng =
        EncodeBmp(DecodePng(reinterpret_cast<const std::uint8_t*>(pngBytes.data()), pngBytes.size()));
    EXPECT_TRUE(std::string(fromPng.begin(), fromPng.end()) == bmpBytes) << "render .png holds other pixels";
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusOutputs, testing::ValuesIn(kExpected), [](const auto& info) {
    std::string name = info.param.level;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

}  // namespace
}  // namespace vantrel
