#include "ce/CeRecord.h"

#include "level/OpenLevel.h"

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

// A number field of change page p (1..P), when it lies inside the file.
std::optional<std::uint32_t> PageNumber(ByteFile& file, std::int64_t record, int page, RecordField f)
{
    const auto at = CePageFieldPosition(file, record, page, f.Offset, f.Width);
    if (!at) return std::nullopt;
    return ReadNumberInFile(file, *at, f.Width);
}

std::optional<std::uint16_t> PageWord(ByteFile& file, std::int64_t record, int page, RecordField f)
{
    const auto v = PageNumber(file, record, page, f);
    if (!v) return std::nullopt;
    return static_cast<std::uint16_t>(*v);
}

}  // namespace

int BlockCellOffset(int row, int column)
{
    return 3 * kCode * (row - 1) + kCode * (column - 1);  // 3x3 codes, row by row
}

std::vector<std::int64_t> CeLinkOffsets(int pages)
{
    const int n = std::max(pages, 0);
    std::vector<std::int64_t> offsets;
    offsets.reserve(kCus4ElementCodes.size() + kCus4PageElementCodes.size() * static_cast<std::size_t>(n));
    offsets.assign(kCus4ElementCodes.begin(), kCus4ElementCodes.end());
    for (int page = 1; page <= n; ++page)
        for (const int offset : kCus4PageElementCodes) offsets.push_back(Cus4PageOffset(page) + offset);
    return offsets;
}

std::vector<std::int64_t> CeLinkPositions(ByteFile& file, std::int64_t record)
{
    std::vector<std::int64_t> positions;
    for (const std::int64_t offset : CeLinkOffsets(ReadChangePageCount(file, record).value_or(0)))
        if (LiesInFile(file, record + offset, 2)) positions.push_back(record + offset);
    return positions;
}

void WriteCeLink(WritableFile& file, std::int64_t position, std::uint16_t code)
{
    SetWordAtPos(position, file, code);
}

std::optional<std::uint32_t> ReadNumberInFile(ByteFile& file, std::int64_t position, int n)
{
    if (n < 1 || n > 4 || !LiesInFile(file, position, n)) return std::nullopt;
    return GetBytesAtPos(position, file, n);
}

std::optional<std::uint16_t> ReadCeElementCode(ByteFile& file, std::int64_t record)
{
    return Word(file, record + Cus4Field::ElementCode.Offset);
}

std::optional<std::string> ReadCeName(ByteFile& file, std::int64_t record)
{
    const std::int64_t at = record + Cus4Field::Name.Offset;
    if (at < 0) return std::nullopt;
    std::string name;
    for (int i = 0; i < Cus4Field::Name.Width; ++i) {
        const auto byte = ReadNumberInFile(file, at + i, 1);
        if (!byte) return std::nullopt;  // cut by the end of the file before the name ended
        if (*byte == 0) return name;
        name.push_back(static_cast<char>(*byte));
    }
    return name;
}

std::optional<int> ReadChangePageCount(ByteFile& file, std::int64_t record)
{
    const auto v = ReadNumberInFile(file, record + Cus4Field::ChangePageCount.Offset, 1);
    if (!v) return std::nullopt;
    return static_cast<int>(*v);
}

std::optional<bool> ReadUseGraphicOf(ByteFile& file, std::int64_t record)
{
    return FlagIsOne(ReadNumberInFile(file, record + Cus4Field::UseGraphicOf.Offset, 1));
}

std::optional<std::uint16_t> ReadGraphicOf(ByteFile& file, std::int64_t record)
{
    return Word(file, record + Cus4Field::GraphicOf.Offset);
}

std::optional<std::uint16_t> ReadExplodeCont(ByteFile& file, std::int64_t record, int row, int column)
{
    if (!ValidBlockCell(row, column)) return std::nullopt;
    return Word(file, record + Cus4Field::ExplodeCont.Offset + BlockCellOffset(row, column));
}

int ChangePagesInFile(ByteFile& file, std::int64_t record)
{
    const auto pages = ReadChangePageCount(file, record);
    if (!pages || record < 0) return 0;
    const std::int64_t room = file.Size() - (record + kCus4RecordLength);
    if (room <= 0) return 0;
    return static_cast<int>(std::min<std::int64_t>(*pages, room / kCus4PageLength));
}

std::optional<std::int64_t> CePageFieldPosition(ByteFile& file, std::int64_t record, int page, int offset,
                                                int size)
{
    if (page < 1 || offset < 0 || size < 1 || offset + size > kCus4PageLength) return std::nullopt;
    const auto pages = ReadChangePageCount(file, record);
    if (!pages || page > *pages) return std::nullopt;
    const std::int64_t at = record + Cus4PageOffset(page) + offset;
    if (!LiesInFile(file, at, size)) return std::nullopt;
    return at;
}

std::optional<std::uint32_t> ReadEventBits(ByteFile& file, std::int64_t record, int page)
{
    return PageNumber(file, record, page, Cus4PageField::EventBits);
}

std::optional<bool> ReadDelayCondition(ByteFile& file, std::int64_t record, int page)
{
    const auto byte = PageNumber(file, record, page, {Cus4PageField::DelayBitByte, 1});
    if (!byte) return std::nullopt;
    return (*byte & 0x01) != 0;
}

std::optional<std::uint16_t> ReadChangeTo(ByteFile& file, std::int64_t record, int page)
{
    return PageWord(file, record, page, Cus4PageField::ChangeTo);
}

std::optional<std::uint16_t> ReadDelayFixed(ByteFile& file, std::int64_t record, int page)
{
    return PageWord(file, record, page, Cus4PageField::DelayFixed);
}

std::optional<std::uint16_t> ReadDelayRandom(ByteFile& file, std::int64_t record, int page)
{
    return PageWord(file, record, page, Cus4PageField::DelayRandom);
}

std::optional<std::uint16_t> ReadDelayType(ByteFile& file, std::int64_t record, int page)
{
    return PageWord(file, record, page, Cus4PageField::DelayType);
}

std::optional<std::uint16_t> ReadChangeCondElement(ByteFile& file, std::int64_t record, int page)
{
    return PageWord(file, record, page, Cus4PageField::ChangeCondElement);
}

std::optional<bool> ReadUseExtChange(ByteFile& file, std::int64_t record, int page)
{
    return FlagIsOne(PageNumber(file, record, page, Cus4PageField::UseExtChange));
}

std::optional<std::uint16_t> ReadExtChange(ByteFile& file, std::int64_t record, int page, int row, int column)
{
    if (!ValidBlockCell(row, column)) return std::nullopt;
    return PageWord(file, record, page, {Cus4PageField::ExtChange.Offset + BlockCellOffset(row, column), 2});
}

std::optional<bool> ReadCanChange(ByteFile& file, std::int64_t record, int page)
{
    return FlagIsOne(PageNumber(file, record, page, Cus4PageField::CanChange));
}

}  // namespace vantrel
