// Fuzz target for the custom element record and its views: the input is a
// file (a level or .vce) in memory, and every record reader and view is run
// on the record at offset 8 (the first chunk's record) and at an offset taken
// from the input's last two bytes. Readers must stay inside the file, keep
// its position, and yield nothing rather than read past the end; a link
// rewrite must keep the file's length. A VantrelError is an expected outcome.
#include "FuzzUi.h"
#include "base/Error.h"
#include "ce/CeRecord.h"
#include "ce/CeViews.h"
#include "file/ByteFile.h"

#include <cstdint>
#include <vector>

namespace {

using vantrel::fuzz::Check;
constexpr char kTarget[] = "fuzz_ce";

void ReadEverything(vantrel::MemoryFile& file, std::int64_t record)
{
    using namespace vantrel;
    const std::int64_t size = file.Size();
    file.Seek(record < size ? record : 0);
    const std::int64_t at = file.Position();
    ReadCeElementCode(file, record);
    ReadCeName(file, record);
    const auto pages = ReadChangePageCount(file, record);
    ReadUseGraphicOf(file, record);
    ReadGraphicOf(file, record);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) ReadExplodeCont(file, record, r, c);
    const int inFile = ChangePagesInFile(file, record);
    Check(kTarget, inFile >= 0 && (!pages || inFile <= *pages), "pages in the file at most the pages stated");
    for (int page = 0; page <= 17; ++page) {
        ReadEventBits(file, record, page);
        ReadDelayCondition(file, record, page);
        ReadChangeTo(file, record, page);
        ReadDelayFixed(file, record, page);
        ReadDelayRandom(file, record, page);
        ReadDelayType(file, record, page);
        ReadChangeCondElement(file, record, page);
        ReadUseExtChange(file, record, page);
        ReadCanChange(file, record, page);
        ReadExtChange(file, record, page, 1, 1);
        const CeChangePageView view = ReadChangePageView(file, record, page);
        (void)view;
    }
    const CeView view = ReadCeView(file, record, "fuzz");
    (void)view;
    HexOfFileBytes(file, record, 96, 4, " ");
    Check(kTarget, file.Position() == at, "readers keep the file's position");
    Check(kTarget, file.Size() == size, "readers keep the file's length");

    // Every link position lies inside the file; rewriting one keeps the length.
    for (const std::int64_t link : CeLinkPositions(file, record)) {
        Check(kTarget, link >= 0 && link + 2 <= size, "a link lies inside the file");
        WriteCeLink(file, link, 0x0200);
        Check(kTarget, file.Size() == size, "a link rewrite keeps the file's length");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    const std::vector<std::uint8_t> bytes(data, data + size);
    std::int64_t other = size >= 2 ? (data[size - 2] << 8 | data[size - 1]) : 0;
    for (const std::int64_t record : {std::int64_t{8}, other}) {
        MemoryFile file("fuzz.vce", bytes);
        try {
            ReadEverything(file, record);
        } catch (const VantrelError&) {
            // a record that cannot be read: an expected outcome
        }
    }
    return 0;
}
