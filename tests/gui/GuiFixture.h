// A main window over a scripted user and settings in memory, and helpers to
// reach its controls by name.
#pragma once

#include "app/MainWindow.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <QAction>
#include <QListWidget>
#include <QTabWidget>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

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

    // A new start of the program over the settings as they are, with a new
    // scripted user (script) that sees what the start asks and says.
    void Restart(ScriptedUi script = {})
    {
        main.reset();
        ui = std::move(script);
        main = std::make_unique<MainWindow>(ui, settings);
    }

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

    // The lines a list box shows, top to bottom.
    std::vector<std::string> ListLines(const char* name)
    {
        std::vector<std::string> lines;
        auto* list = Find<QListWidget>(name);
        for (int i = 0; list && i < list->count(); ++i) lines.push_back(list->item(i)->text().toStdString());
        return lines;
    }

    bool CorpusMissing() const { return CorpusDir().empty(); }

    ScriptedUi ui;
    MemorySettings settings;
    TempDir dir;
    std::unique_ptr<MainWindow> main;
};

}  // namespace vantrel::test
