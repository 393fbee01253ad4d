// Fuzz target for edits through the one door: any bytes are loaded as a level
// (LoadLevelFrom over a MemoryFile); after a completed load the map clipboard
// copies, pastes, cuts and deletes rectangles whose corners come from the
// input's last bytes (inside, on and outside the map), then the title, time
// and emeralds are written. No edit may change the file's length; after the
// map edits the file must load again to the very grid in memory. A
// VantrelError is an expected outcome.
#include "FuzzUi.h"
#include "base/Error.h"
#include "level/HeaderEdit.h"
#include "level/Loader.h"
#include "level/OpenLevel.h"
#include "view/MapClipboard.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using vantrel::fuzz::Check;
constexpr char kTarget[] = "fuzz_edit";

// The input's bytes from the end backwards, 0 when they run out.
class Tail {
public:
    Tail(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}
    std::uint8_t Next() { return left_ == 0 ? 0 : data_[--left_]; }

private:
    const std::uint8_t* data_;
    std::size_t left_;
};

vantrel::MapSelection Selection(Tail& tail, int w, int h)
{
    // Corners 0..w+1 and 0..h+1 mostly, now and then anywhere up to 255.
    auto coord = [&](int n) {
        const std::uint8_t b = tail.Next();
        return b >= 0xF0 ? b : b % (n + 2);
    };
    vantrel::MapSelection sel;
    sel.SelectionStart = vantrel::PackCell(coord(w), coord(h));
    sel.SelectionEnd = vantrel::PackCell(coord(w), coord(h));
    return sel;
}

std::unique_ptr<vantrel::OpenLevel> Load(const std::vector<std::uint8_t>& bytes, vantrel::LoadReport& report)
{
    using namespace vantrel;
    auto lvl = std::make_unique<OpenLevel>();
    LoadOptions options;
    options.TickMs = [] { return std::int64_t{0}; };
    try {
        LoadLevelFrom(*lvl, std::make_unique<MemoryFile>("fuzz.level", bytes), report, options);
    } catch (const VantrelError&) {
        return nullptr;
    }
    return report.Completed ? std::move(lvl) : nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    const std::vector<std::uint8_t> input(data, data + size);
    fuzz::QuietUi ui;
    LoadReport report;
    auto lvl = Load(input, report);
    if (!lvl) return 0;
    const auto& file = dynamic_cast<const MemoryFile&>(lvl->File());
    const int w = lvl->MapWidth(), h = lvl->MapHeight();
    Tail tail(data, size);
    MapClipboard clip;
    try {
        CopySelection(*lvl, Selection(tail, w, h), clip);
        Check(kTarget, clip.Columns() <= kMaxMapSize && clip.Rows() <= kMaxMapSize, "the clipboard fits a map");
        const PasteResult pasted = PasteSelection(*lvl, Selection(tail, w, h), clip);
        Check(kTarget, pasted.Pasted >= 0 && pasted.Pasted <= w * h, "at most the map's cells pasted");
        CutSelection(*lvl, Selection(tail, w, h), clip);
        DeleteSelection(*lvl, Selection(tail, w, h));
    } catch (const VantrelError&) {
        return 0;
    }
    Check(kTarget, file.Size() == static_cast<std::int64_t>(size), "map edits keep the file's length");

    // The file as written holds the grid in memory.
    LoadReport second;
    const auto reloaded = Load(file.Bytes(), second);
    Check(kTarget, reloaded != nullptr, "the edited level loads again");
    Check(kTarget, reloaded->Grid() == lvl->Grid(), "the edited file holds the grid in memory");

    try {
        std::string title;
        for (int i = tail.Next() % 40; i > 0; --i) title += static_cast<char>(tail.Next());
        WriteLevelTitle(*lvl, title);
        WriteTimeAndEmeralds(*lvl, static_cast<std::uint16_t>(tail.Next() << 8 | tail.Next()),
                             static_cast<std::uint16_t>(tail.Next() << 8 | tail.Next()));
    } catch (const VantrelError&) {
        return 0;
    }
    Check(kTarget, file.Size() == static_cast<std::int64_t>(size), "header edits keep the file's length");
    return 0;
}
