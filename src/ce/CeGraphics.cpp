#include "ce/CeGraphics.h"

#include "base/Bytes.h"
#include "ce/CeRecord.h"
#include "format/ConfEntries.h"
#include "format/RecordLayouts.h"
#include "level/OpenLevel.h"

#include <algorithm>

namespace vantrel {

namespace {

void Note(CeGraphics& looks, std::uint16_t ceCode, bool use, std::uint16_t graphic)
{
    if (IsCeCode(ceCode) && use) looks[CeNumberOf(ceCode) - 1] = graphic;
}

}  // namespace

CeGraphics CeGraphicsOf(const OpenLevel& lvl)
{
    CeGraphics looks;
    if (!lvl.LevelOpen()) return looks;
    ByteFile& file = lvl.File();
    for (const std::int32_t record : lvl.CePositions()) {
        const auto code = ReadCeElementCode(file, record);
        const auto use = ReadUseGraphicOf(file, record);
        const auto graphic = ReadGraphicOf(file, record);
        if (code && use && graphic) Note(looks, *code, *use, *graphic);
    }
    if (lvl.Index().CusxPositions.empty()) return looks;
    const std::vector<std::uint8_t> bytes = file.ReadAll();
    for (const std::int32_t data : lvl.Index().CusxPositions) {
        const auto view = ReadCusxAt(bytes, data);
        if (!view) continue;
        bool use = CusxBaseKey::UseGraphic.Default != 0;
        auto graphic = static_cast<std::uint16_t>(CusxBaseKey::Graphic.Default);
        for (const CusxEntryView& e : view->Entries) {
            if (e.Page != -1) continue;
            if (e.Entry.Key == CusxBaseKey::UseGraphic.Key) use = e.Entry.Number != 0;
            if (e.Entry.Key == CusxBaseKey::Graphic.Key) graphic = static_cast<std::uint16_t>(e.Entry.Number);
        }
        Note(looks, view->Code, use, graphic);
    }
    return looks;
}

}  // namespace vantrel
