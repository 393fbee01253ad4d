// What the window says about itself: Help > About and its command line.
#include "app/CommandLine.h"
#include "base/Version.h"
#include "gui/GuiFixture.h"

#include <vector>

namespace vantrel::test {
namespace {

TEST_F(GuiTest, AboutTellsVersionLicenceAndDataDirectory)
{
    for (const std::string& dataDir : {std::string(), std::string("/home/ann/rnd data")}) {
        settings.values["datadir"] = dataDir;
        ui.messages.clear();
        Find<QAction>("Help_About")->trigger();
        ASSERT_EQ(ui.messages.size(), 1u);
        const std::string& text = ui.messages[0];
        EXPECT_EQ(text.rfind(std::string("Vantrel ") + kVersion + "\n", 0), 0u) << text;
        EXPECT_NE(text.find("Licence: GPL-3.0-or-later\n"), std::string::npos) << text;
        const std::string shown = dataDir.empty() ? "none chosen yet" : dataDir;
        EXPECT_NE(text.find("\n\nData directory: " + shown + "\n\n"), std::string::npos) << text;
    }
}

TEST(GuiCommandLineTest, OneLevelAtMostAndNoUnknownOption)
{
    struct Case {
        std::vector<std::string> args;
        std::optional<int> status;
        std::string file;
    };
    const Case cases[] = {
        {{}, std::nullopt, ""},
        {{"/tmp/a b.level"}, std::nullopt, "/tmp/a b.level"},
        {{"-"}, std::nullopt, "-"},
        {{"--bogus"}, 2, ""},
        {{"a.level", "b.level"}, 2, "a.level"},
    };
    for (const Case& c : cases) {
        std::vector<char*> argv{const_cast<char*>("vantrel")};
        for (const std::string& a : c.args) argv.push_back(const_cast<char*>(a.c_str()));
        std::string file;
        EXPECT_EQ(LevelToOpen(static_cast<int>(argv.size()), argv.data(), file), c.status) << c.args.size();
        EXPECT_EQ(file, c.file);
    }
}

}  // namespace
}  // namespace vantrel::test
