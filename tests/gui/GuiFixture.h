// A main window over a scripted user and settings in memory, and helpers to
// reach its controls by name.
#pragma once

#include "app/MainWindow.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <QAction>
#include <QTabWidget>
#include <gtest/gtest.h>
#include <memory>

namespace vantrel::test {

class GuiTest : public ::testing::Test {
protected:
    // The start-up scan finds no data directory here; what it asked and said is
    // forgotten, so that each test sees only its own messages.
    void SetUp() override
    {
        main = std::make_unique<MainWindow>(ui, settings);
        ui = ScriptedUi();
    }
    void TearDown() override { main.reset(); }

    // A control by name; the pages not built yet are built first.
    template <typename W>
    W* Find(const char* name)
    {
        for (int page = 0; page < kPageCount; ++page) main->Page(page);
        W* w = main->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << "no control named " << name;
        return w;
    }

    // Loads path directly, the way the levelset page does.
    void DirectLoad(const std::string& path)
    {
        main->Document().Doc().SetOpenDialogName("%" + path);
        main->File_LoadLevelClick();
    }

    bool CorpusMissing() const { return CorpusDir().empty(); }

    ScriptedUi ui;
    MemorySettings settings;
    TempDir dir;
    std::unique_ptr<MainWindow> main;
};

}  // namespace vantrel::test
