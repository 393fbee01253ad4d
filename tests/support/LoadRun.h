// One load as a command makes it, for tests: a temporary folder, the
// scripted user, the open level and the load's report, with a clock that
// stands still so that the timing line reads "... in 0 milliseconds".
#pragma once

#include "base/Error.h"
#include "level/Loader.h"
#include "support/LevelBuilder.h"
#include "support/Lines.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "tell/Tell.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::test {

struct LoadRun {
    TempDir dir;
    std::string path;
    OpenLevel lvl;
    ScriptedUi ui;
    LoadReport report;
    std::vector<std::string> captions;
    std::optional<std::string> error;  // the text of a VantrelError the load ended with
    bool readOnly = false;             // the next loads are for reading only

    LoadOptions Options()
    {
        LoadOptions o;
        o.TickMs = [] { return std::int64_t{123456}; };
        o.OnCaption = [this](const std::string& c) { captions.push_back(c); };
        o.ReadOnly = readOnly;
        return o;
    }

    // Loads the file at file into lvl, as the window's Load Level does.
    void Load(const std::string& file)
    {
        path = file;
        captions.clear();
        error.reset();
        try {
            LoadAndTell(lvl, path, ui, report, Options());
        } catch (const VantrelError& e) {
            error = e.what();
        }
    }
    // Writes bytes as name in the folder, then loads it.
    void Load(const Bytes& bytes, const std::string& name = "test.level") { Load(dir.Write(name, bytes)); }

    // Expected lines with "{path}" standing for the loaded file's path.
    std::vector<Line> WithPath(std::vector<Line> lines) const
    {
        for (Line& l : lines) {
            const auto at = l.text.find("{path}");
            if (at != std::string::npos) l.text.replace(at, 6, path);
        }
        return lines;
    }
};

}  // namespace vantrel::test
