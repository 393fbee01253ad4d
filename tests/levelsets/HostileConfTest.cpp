// A levelinfo.conf that is a named pipe is refused at once (no read waits for
// a writer) and named for what it is.
#include "levelsets/LevelsetConfig.h"
#include "base/Error.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(HostileConfTest, ANamedPipeIsRefusedWithoutWaiting)
{
    VANTREL_SKIP_ON_WINDOWS("named pipes in folders are POSIX's");
    test::TempDir dir;
    const std::string path = (dir.Path() / "levelinfo.conf").string();
    ASSERT_TRUE(test::MakeFifo(path));
    try {
        ReadConfValue(path, "name");
        ADD_FAILURE() << "read";
    } catch (const VantrelError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot read " + path + ": it is not a regular file");
    }
}

}  // namespace
}  // namespace vantrel
