#include "ce/CeGraphics.h"

#include "base/Bytes.h"
#include "ce/CeRecord.h"
#include "level/ConfEntries.h"
#include "level/OpenLevel.h"

#include <algorithm>

namespace vantrel {

namespace {

constexpr std::uint8_t kCusxUseGraphic = 0x01;
constexpr std::uint8_t kCusxGraphic = 0x41;

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
    const auto size = static_cast<std::int64_t>(bytes.size());
    for (const std::int32_t data : lvl.Index().CusxPositions) {
        if (data < 4 || data > size) continue;
        const std::int64_t end = std::min<std::int64_t>(size, data + ReadBigEndian(bytes.data() + data - 4, 4));
        const CusxView view = ReadCusx(bytes.data(), data, end);
        bool use = false;
        std::uint16_t graphic = kEmptySpaceCode;
        for (const CusxEntryView& e : view.Entries) {
            if (e.Page != -1) continue;
            if (e.Entry.Key == kCusxUseGraphic) use = e.Entry.Number != 0;
            if (e.Entry.Key == kCusxGraphic && e.Entry.Kind == ValueKind::S16)
                graphic = static_cast<std::uint16_t>(e.Entry.Number);
        }
        Note(looks, view.Code, use, graphic);
    }
    return looks;
}

}  // namespace vantrel
