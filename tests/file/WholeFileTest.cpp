// Files written whole: the file appears complete or not at all.
#include "base/Error.h"
#include "file/WholeFile.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantrel {
namespace {

namespace fs = std::filesystem;

TEST(WholeFile, ReplacesTheFileAndLeavesNothingElse)
{
    test::TempDir dir;
    const std::string path = dir.Write("out.bin", std::string("old"));
    WriteWholeFile(path, std::string("new bytes"));
    EXPECT_EQ(test::ReadBytes(path), (std::vector<std::uint8_t>{'n', 'e', 'w', ' ', 'b', 'y', 't', 'e', 's'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator{}), 1);
}

TEST(WholeFile, AFailureLeavesThePreviousFileAndNoPartialOne)
{
    test::TempDir dir;
    const std::string path = dir.Write("out.bin", std::string("previous"));
    VANTREL_SKIP_ON_WINDOWS("a file size limit is POSIX's");
    try {
        // A file size limit of 1 KiB, as a full disk would: the write stops part way.
        test::FileSizeLimit limit(1024);
        WriteWholeFile(path, std::string(4096, 'x'));
        ADD_FAILURE() << "no error";
    } catch (const VantrelError& e) {
        EXPECT_EQ(std::string(e.what()), "The file " + path +
                                             " could not be written (writing: File too large); nothing was changed.");
    }
    EXPECT_EQ(test::ReadBytes(path), (std::vector<std::uint8_t>{'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator{}), 1) << "no partial file";

    EXPECT_THROW(WriteWholeFile((dir.Path() / "no-such-folder" / "f").string(), std::string("x")), VantrelError);
}

TEST(WholeFile, ANewFileNeverReplacesOneAndLeavesNothingElse)
{
    test::TempDir dir;
    const std::string taken = dir.Write("taken.level", std::string("precious"));
    EXPECT_FALSE(WriteNewWholeFile(taken, {'n', 'e', 'w'}));
    EXPECT_EQ(test::ReadBytes(taken), (std::vector<std::uint8_t>{'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
    const std::string fresh = (dir.Path() / "fresh.level").string();
    EXPECT_TRUE(WriteNewWholeFile(fresh, {'n', 'e', 'w'}));
    EXPECT_EQ(test::ReadBytes(fresh), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator{}), 2) << "no temporary file";
}

}  // namespace
}  // namespace vantrel
