// Fuzz target for .vce files: any bytes go through the scan that fills the
// import list, and, when the scan takes them, through the renumbering of a
// copy with new ids shifted by an amount taken from the input. A
// VantrelError is an expected outcome; any other exception, a crash, a
// sanitizer report or a broken expectation is a finding.
#include "FuzzUi.h"
#include "ce/CeTransfer.h"
#include "base/Error.h"
#include "base/UserInterface.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using vantrel::fuzz::QuietUi;

void Check(bool ok, const char* what)
{
    vantrel::fuzz::Check("fuzz_vce", ok, what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    const std::vector<std::uint8_t> bytes(data, data + size);
    try {
        const VceScan scan = ScanVceBytes(bytes, "fuzz.vce");
        if (!scan.Fault.empty()) return 0;
        CeImportList list;
        list.VcePath = "fuzz.vce";
        for (const VceChunk& chunk : scan.Chunks) {
            Check(chunk.Position + 8 + static_cast<std::int64_t>(chunk.Length) <= static_cast<std::int64_t>(size),
                  "every chunk lies inside the file");
            list.Lines.push_back(chunk.ImportLine());
        }
        IncDecAll(list, size > 0 ? static_cast<int>(data[0] % 101) - 50 : 0);
        OpenLevel lvl;
        const RenumberedVce copy = RenumberVceCopy(lvl, list, scan, bytes);
        Check(copy.Bytes.size() == size, "the copy keeps the file's length");
        // Outside the chunks the copy keeps every byte.
        std::vector<bool> inChunk(size, false);
        for (const VceChunk& chunk : scan.Chunks)
            for (std::size_t i = 0; i < 8 + chunk.Length; ++i) inChunk[static_cast<std::size_t>(chunk.Position) + i] = true;
        for (std::size_t i = 0; i < size; ++i)
            if (!inChunk[i]) Check(copy.Bytes[i] == bytes[i], "bytes between chunks unchanged");
    } catch (const VantrelError&) {
    }
    return 0;
}
