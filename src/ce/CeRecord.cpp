#include "ce/CeRecord.h"

#include "level/OpenLevel.h"
#include "base/UserInterface.h"

#include <algorithm>

namespace vantrel {

namespace {

bool LiesInFile(const ByteFile& file, std::int64_t position, std::int64_t size)
{
    return position >= 0 && size >= 0 && position + size <= file.Size();
}

std::optional<std::uint16_t> Word(ByteFile& file, std::int64_t position)
{
    const auto v = ReadNumberInFile(file, position, 2);
    if (!v) return std::nullopt;
    return static_cast<std::uint16_t>(*v);
}

std::optional<bool> FlagIsOne(std::optional<std::uint32_t> byte)
{
    if (!byte) return std::nullopt;
    return *byte == 1;
}

bool ValidBlockCell(int row, int column)
{
    return row >= 1 && row <= 3 && column >= 1 && column <= 3;
}

std::optional<std::uint16_t> PageWord(ByteFile& file, std::int64_t record, int page, int offset)
{
    const auto at = CePageFieldPosition(file, record, page, offset, 2);
    if (!at) return std::nullopt;
    return Word(file, *at);
}

std::optional<std::uint32_t> PageByte(ByteFile& file, std::int64_t record, int page, int offset)
{
    const auto at = CePageFieldPosition(file, record, page, offset, 1);
    if (!at) return std::nullopt;
    return ReadNumberInFile(file, *at, 1);
}

}  // namespace

bool IsCeReference(std::uint16_t code)
{
    const std::uint16_t n = CeNumberOf(code);
    return n >= 1 && n <= kCeCount;
}

std::int64_t ChangePageOffset(int page)
{
    return 48 + 48 * static_cast<std::int64_t>(page);
}

std::int64_t CeRecordLength(int pages)
{
    return kCeBaseBlockLength + kCeChangePageLength * static_cast<std::int64_t>(pages);
}

int BlockCellOffset(int row, int column)
{
    return 6 * (row - 1) + 2 * (column - 1);
}

std::vector<std::int64_t> CeLinkOffsets(int pages)
{
    std::vector<std::int64_t> offsets;
    offsets.reserve(static_cast<std::size_t>(1 + 9 + 11 * std::max(pages, 0)));
    offsets.push_back(CeBaseOffset::ElementCode);
    for (int row = 1; row <= 3; ++row)
        for (int column = 1; column <= 3; ++column)
            offsets.push_back(CeBaseOffset::ExplodeCont + BlockCellOffset(row, column));
    for (int page = 1; page <= pages; ++page) {
        const std::int64_t q = ChangePageOffset(page);
        offsets.push_back(q + CePageOffset::ChangeTo);
        offsets.push_back(q + CePageOffset::ChangeCondElement);
        for (int row = 1; row <= 3; ++row)
            for (int column = 1; column <= 3; ++column)
                offsets.push_back(q + CePageOffset::ExtChange + BlockCellOffset(row, column));
    }
    return offsets;
}

std::vector<std::int64_t> CeLinkPositions(ByteFile& file, std::int64_t record)
{
    std::vector<std::int64_t> positions;
    for (const std::int64_t offset : CeLinkOffsets(ReadChangePageCount(file, record).value_or(0)))
        if (LiesInFile(file, record + offset, 2)) positions.push_back(record + offset);
    return positions;
}

void WriteCeLink(WritableFile& file, std::int64_t position, std::uint16_t code, UserInterface& ui)
{
    if (!LiesInFile(file, position, 2)) {
        ui.Message(kOutOfRangeMessage);
        return;
    }
    SetWordAtPos(position, file, code, ui);
}

std::optional<std::uint32_t> ReadNumberInFile(ByteFile& file, std::int64_t position, int n)
{
    if (n < 1 || n > 4 || !LiesInFile(file, position, n)) return std::nullopt;
    return GetBytesAtPos(position, file, n);
}

std::optional<std::uint16_t> ReadCeElementCode(ByteFile& file, std::int64_t record)
{
    return Word(file, record + CeBaseOffset::ElementCode);
}

std::optional<std::string> ReadCeName(ByteFile& file, std::int64_t record)
{
    const std::int64_t at = record + CeBaseOffset::Name;
    if (at < 0) return std::nullopt;
    std::string name;
    for (int i = 0; i < kCeNameLength; ++i) {
        const auto byte = ReadNumberInFile(file, at + i, 1);
        if (!byte) return std::nullopt;  // cut by the end of the file before the name ended
        if (*byte == 0) return name;
        name.push_back(static_cast<char>(*byte));
    }
    return name;
}

std::optional<int> ReadChangePageCount(ByteFile& file, std::int64_t record)
{
    const auto v = ReadNumberInFile(file, record + CeBaseOffset::ChangePageCount, 1);
    if (!v) return std::nullopt;
    return static_cast<int>(*v);
}

std::optional<bool> ReadUseGraphicOf(ByteFile& file, std::int64_t record)
{
    return FlagIsOne(ReadNumberInFile(file, record + CeBaseOffset::UseGraphicOf, 1));
}

std::optional<std::uint16_t> ReadGraphicOf(ByteFile& file, std::int64_t record)
{
    return Word(file, record + CeBaseOffset::GraphicOf);
}

std::optional<std::uint16_t> ReadExplodeCont(ByteFile& file, std::int64_t record, int row, int column)
{
    if (!ValidBlockCell(row, column)) return std::nullopt;
    return Word(file, record + CeBaseOffset::ExplodeCont + BlockCellOffset(row, column));
}

int ChangePagesInFile(ByteFile& file, std::int64_t record)
{
    const auto pages = ReadChangePageCount(file, record);
    if (!pages || record < 0) return 0;
    const std::int64_t room = file.Size() - (record + kCeBaseBlockLength);
    if (room <= 0) return 0;
    return static_cast<int>(std::min<std::int64_t>(*pages, room / kCeChangePageLength));
}

std::optional<std::int64_t> CePageFieldPosition(ByteFile& file, std::int64_t record, int page, int offset,
                                                int size)
{
    if (page < 1 || offset < 0 || size < 1 || offset + size > kCeChangePageLength) return std::nullopt;
    const auto pages = ReadChangePageCount(file, record);
    if (!pages || page > *pages) return std::nullopt;
    const std::int64_t at = record + ChangePageOffset(page) + offset;
    if (!LiesInFile(file, at, size)) return std::nullopt;
    return at;
}

std::optional<std::uint32_t> ReadEventBits(ByteFile& file, std::int64_t record, int page)
{
    const auto at = CePageFieldPosition(file, record, page, CePageOffset::EventBits, 4);
    if (!at) return std::nullopt;
    return ReadNumberInFile(file, *at, 4);
}

std::optional<bool> ReadDelayCondition(ByteFile& file, std::int64_t record, int page)
{
    const auto byte = PageByte(file, record, page, CePageOffset::DelayBitByte);
    if (!byte) return std::nullopt;
    return (*byte & 0x01) != 0;
}

std::optional<std::uint16_t> ReadChangeTo(ByteFile& file, std::int64_t record, int page)
{
    return PageWord(file, record, page, CePageOffset::ChangeTo);
}

std::optional<std::uint16_t> ReadDelayFixed(ByteFile& file, std::int64_t record, int page)
{
    return PageWord(file, record, page, CePageOffset::DelayFixed);
}

std::optional<std::uint16_t> ReadDelayRandom(ByteFile& file, std::int64_t record, int page)
{
    return PageWord(file, record, page, CePageOffset::DelayRandom);
}

std::optional<std::uint16_t> ReadDelayType(ByteFile& file, std::int64_t record, int page)
{
    return PageWord(file, record, page, CePageOffset::DelayType);
}

std::optional<std::uint16_t> ReadChangeCondElement(ByteFile& file, std::int64_t record, int page)
{
    return PageWord(file, record, page, CePageOffset::ChangeCondElement);
}

std::optional<bool> ReadUseExtChange(ByteFile& file, std::int64_t record, int page)
{
    return FlagIsOne(PageByte(file, record, page, CePageOffset::UseExtChange));
}

std::optional<std::uint16_t> ReadExtChange(ByteFile& file, std::int64_t record, int page, int row, int column)
{
    if (!ValidBlockCell(row, column)) return std::nullopt;
    return PageWord(file, record, page, CePageOffset::ExtChange + BlockCellOffset(row, column));
}

std::optional<bool> ReadCanChange(ByteFile& file, std::int64_t record, int page)
{
    return FlagIsOne(PageByte(file, record, page, CePageOffset::CanChange));
}

}  // namespace vantrel
