// Fuzz target for the level loader: any bytes go through LoadLevelFrom over a
// MemoryFile. A VantrelError is an expected outcome (a file the loader cannot
// open); any other exception, a crash, a sanitizer report or a hang is a
// finding. After a completed load a few grid operations run on the result, to
// catch reads and writes outside the grid or the map in the file.
#include "FuzzUi.h"
#include "level/Loader.h"
#include "level/OpenLevel.h"
#include "base/Error.h"
#include "base/UserInterface.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using vantrel::fuzz::QuietUi;

void Check(bool ok, const char* what)
{
    vantrel::fuzz::Check("fuzz_loader", ok, what);
}

// Operations on a loaded level that must stay inside the grid and the map.
void ExerciseLoadedLevel(vantrel::OpenLevel& lvl, const std::uint8_t* data, std::size_t size, QuietUi& ui)
{
    using namespace vantrel;
    const int w = lvl.MapWidth(), h = lvl.MapHeight();
    Check(w <= kMaxMapSize && h <= kMaxMapSize, "map within the grid");
    const auto* mem = dynamic_cast<const MemoryFile*>(&lvl.File());
    Check(mem != nullptr, "the level file is the fuzzer's MemoryFile");

    const std::uint16_t code = size > 0 ? data[size - 1] : 0;
    const int count = CountElement(lvl, code);
    Check(count >= 0 && count <= w * h, "CountElement within the map");

    // Writing the whole grid back puts the same bytes into the same places.
    if (w > 0 && h > 0) {
        WriteGridRect(lvl, PackCell(1, 1), PackCell(w, h));
        Check(mem->Bytes().size() == size, "writing the map back keeps the file size");
        Check(std::equal(mem->Bytes().begin(), mem->Bytes().end(), data), "writing the map back changes no byte");
    }

    // Cells inside and just outside the map, corners included.
    const int cells[][2] = {{1, 1}, {w, h}, {w, 1}, {1, h}, {0, 1}, {1, 0}, {w + 1, 1}, {1, h + 1}, {255, 255}};
    for (const auto& c : cells) {
        const int x = c[0], y = c[1];
        if (x < 0 || x > 255 || y < 0 || y > 255) continue;
        const bool inside = x >= 1 && x <= w && y >= 1 && y <= h;
        const std::uint16_t value = lvl.Wide16() ? 0x0168 : 0x2A;
        Check(SetCell(lvl, PackCell(x, y), value) == inside, "SetCell accepts exactly the cells of the map");
        Check(mem->Bytes().size() == size, "SetCell keeps the file size");
        if (inside) Check(lvl.Grid().At(x, y) == value, "SetCell stores the code");
    }
    if (!lvl.Wide16()) Check(!SetCell(lvl, PackCell(1, 1), 300), "SetCell refuses a two-byte code on a one-byte map");
    (void)ui;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    auto lvl = std::make_unique<OpenLevel>();
    QuietUi ui;
    LoadReport report;
    LoadOptions options;
    options.TickMs = [] { return std::int64_t{0}; };
    bool threw = false;
    try {
        LoadLevelFrom(*lvl, std::make_unique<MemoryFile>("fuzz.level", std::vector<std::uint8_t>(data, data + size)),
                      report, options);
    } catch (const VantrelError&) {
        threw = true;  // a file the loader cannot open: an expected outcome
    }
    // The scan always ends: at most a few lines beyond one a byte.
    Check(lvl->Log().size() <= size + 10, "the log has at most one line a byte, plus a few");
    if (threw) {
        Check(!lvl->LevelOpen() && !lvl->HasFile(), "a failed load leaves no file open");
        return 0;
    }
    Check(report.Completed != report.Rejected, "a load either completes or is refused");
    Check(lvl->LevelOpen() == report.Completed, "a level is open after a completed load only");
    if (report.Completed) {
        Check(lvl->Log().size() >= 3, "a completed load logs at least three lines");
        ExerciseLoadedLevel(*lvl, data, size, ui);
    }
    return 0;
}
