#include "ce/CeTransfer.h"

#include "base/Bytes.h"
#include "base/Error.h"
#include "base/PathText.h"
#include "base/UserInterface.h"
#include "ce/CeRecord.h"
#include "ce/CeViews.h"
#include "file/WholeFile.h"
#include "format/ConfEntries.h"
#include "format/GameRead.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <unordered_map>

namespace vantrel {

namespace {

constexpr char kArrow[] = "-->";

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// The kind of the chunk at s, when its name lies inside the bytes and the game knows it.
const ChunkKind* ChunkAt(const std::vector<std::uint8_t>& bytes, std::int64_t s)
{
    if (s < 0 || s + kChunkNameLength > static_cast<std::int64_t>(bytes.size())) return nullptr;
    return FindChunkKind(std::string_view(reinterpret_cast<const char*>(bytes.data() + s), kChunkNameLength));
}

// A custom element's chunk, of a kind a .vce file holds (CUS4 or CUSX).
bool IsCeChunkAt(const std::vector<std::uint8_t>& bytes, std::int64_t s)
{
    const ChunkKind* kind = ChunkAt(bytes, s);
    return kind && kind->CustomElement;
}

constexpr char kNoPagesFault[] =
    "has no change page: the game would read one change page past its end and misread everything after it";

// The level's bytes from offset, n of them, when all lie inside the file.
std::optional<std::vector<std::uint8_t>> LevelBytes(ByteFile& file, std::int64_t offset, std::int64_t n)
{
    if (offset < 0 || n < 0 || offset + n > file.Size()) return std::nullopt;
    const std::int64_t keep = file.Position();
    file.Seek(offset);
    std::vector<std::uint8_t> out = file.Read(static_cast<std::size_t>(n));
    file.Seek(keep);
    return out;
}

// Why the chunk of CE list line k cannot be exported, or nothing.
std::string ExportFault(ByteFile& file, std::int64_t record, std::vector<std::uint8_t>& chunk)
{
    const std::int64_t size = file.Size();
    const std::int64_t at = record - kChunkHeaderLength;
    const auto header = LevelBytes(file, at, kChunkHeaderLength);
    if (!header || ChunkAt(*header, 0) != &ChunkKindOf(ChunkId::Cus4))
        return "there is no CUS4 chunk at " + std::to_string(at) + " in the level file";
    const auto pages = ReadChangePageCount(file, record);
    const std::int64_t whole = pages ? Cus4ChunkLength(*pages) : 0;
    if (!pages || at + whole > size)
        return "its chunk runs past the end of the level file (" + std::to_string(size) + " bytes)";
    const std::uint32_t stored = GetField(header->data(), ChunkField::Size);
    if (*pages == 0) return std::string("its record ") + kNoPagesFault;
    if (stored != Cus4RecordLength(*pages))
        return "its stored length " + std::to_string(stored) + " disagrees with its " + std::to_string(*pages) +
               " change pages (" + std::to_string(kCus4RecordLength) + " + " + std::to_string(kCus4PageLength) + " x " +
               std::to_string(*pages) + " = " +
               std::to_string(Cus4RecordLength(*pages)) + ")";
    chunk = *LevelBytes(file, at, whole);
    return {};
}

// Why the CUSX chunk whose data begins at data cannot be exported, or nothing.
std::string CusxExportFault(ByteFile& file, std::int64_t data, std::vector<std::uint8_t>& chunk)
{
    const std::int64_t at = data - kChunkHeaderLength;
    const auto header = LevelBytes(file, at, kChunkHeaderLength);
    if (!header || ChunkAt(*header, 0) != &ChunkKindOf(ChunkId::Cusx))
        return "there is no CUSX chunk at " + std::to_string(at) + " in the level file";
    const std::int64_t whole = kChunkHeaderLength + static_cast<std::int64_t>(GetField(header->data(), ChunkField::Size));
    const auto bytes = LevelBytes(file, at, whole);
    if (!bytes) return "its chunk runs past the end of the level file (" + std::to_string(file.Size()) + " bytes)";
    chunk = *bytes;
    return {};
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    return ReadFileToEnd(path);  // a named pipe is read to its end too
}

// The first line whose new id is no number in 1..256, or -1.
int FirstLineOutOfRange(const CeImportList& list)
{
    for (std::size_t k = 0; k < list.Lines.size(); ++k) {
        const auto id = ImportLineNewIdValue(list.Lines[k]);
        if (!id || *id < 1 || *id > kCeCount) return static_cast<int>(k);
    }
    return -1;
}

// Why the chunks of the scan do not match the list line for line, or nothing.
std::string MismatchFault(const VceScan& scan, const CeImportList& list)
{
    if (!scan.Fault.empty()) return scan.Fault;
    if (scan.Chunks.size() != list.Lines.size())
        return "it holds " + std::to_string(scan.Chunks.size()) + " custom elements, the import list " +
               std::to_string(list.Lines.size());
    for (std::size_t k = 0; k < list.Lines.size(); ++k)
        if (std::to_string(scan.Chunks[k].OldId) != ImportLineOldId(list.Lines[k]))
            return "its custom element " + std::to_string(k + 1) + " has the id " +
                   std::to_string(scan.Chunks[k].OldId) + ", import line " + std::to_string(k + 1) + " is " +
                   Quoted(list.Lines[k]);
    return {};
}

}  // namespace

// --- the import list ---

std::string ImportLineOldId(const std::string& line)
{
    return TextBefore(line, ":");
}

// The new id is what follows the last "-->", also when the name holds one.
std::string ImportLineNewId(const std::string& line)
{
    const auto at = line.rfind(kArrow);
    return at == std::string::npos ? std::string() : line.substr(at + 3);
}

std::string WithNewId(const std::string& line, long long id)
{
    const auto at = line.rfind(kArrow);
    const std::string head = at == std::string::npos ? line + kArrow : line.substr(0, at + 3);
    return head + std::to_string(id);
}

std::optional<long long> ImportLineNewIdValue(const std::string& line)
{
    const std::string text = ImportLineNewId(line);
    long long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

std::uint16_t NewIdOfImportLine(OpenLevel& lvl, const CeImportList& list, int k)
{
    if (k < 0 || static_cast<std::size_t>(k) >= list.Lines.size())
        throw VantrelError("The import list has no line " + std::to_string(k + 1) + ".");
    const auto v = ImportLineNewIdValue(list.Lines[static_cast<std::size_t>(k)]);
    if (!v) throw VantrelError("The import line " + Quoted(list.Lines[static_cast<std::size_t>(k)]) +
                               " has no new custom element id");
    const auto id = static_cast<std::uint16_t>(*v);
    lvl.Log().push_back("NewCEIdOfIndex(" + std::to_string(k) + ") = " + std::to_string(id));
    return id;
}

// --- reading a CE file ---

std::string VceChunk::ImportLine() const
{
    return std::to_string(OldId) + ":" + Name + kArrow + std::to_string(OldId);
}

VceScan ScanVceBytes(const std::vector<std::uint8_t>& bytes, const std::string& path)
{
    VceScan scan;
    const auto size = static_cast<std::int64_t>(bytes.size());
    MemoryFile file(path, bytes);
    std::int64_t s = 0;
    while (s < size) {
        if (!IsCeChunkAt(bytes, s)) {
            // A .vce file is chunks back to back: bytes of no chunk are not carried into a level.
            scan.Fault = "The file " + path + " holds " + std::to_string(size - s) + " bytes from offset " +
                         std::to_string(s) + " on that begin no custom element (CUS4 or CUSX chunk); a .vce file "
                         "holds nothing between or after its chunks.";
            break;
        }
        const bool cusx = ChunkAt(bytes, s)->Id == ChunkId::Cusx;
        const std::int64_t r = s + kChunkHeaderLength;
        const auto pages = cusx ? std::optional<int>(1) : ReadChangePageCount(file, r);
        const std::uint32_t length = r <= size ? GetField(bytes.data() + s, ChunkField::Size) : 0;
        const std::string where = "The custom element at offset " + std::to_string(s) + " of " + path;
        if (r > size || r + static_cast<std::int64_t>(length) > size || !pages || (cusx && length < kDataElementCode.End())) {
            scan.Fault = where + " runs past the end of the file (" + std::to_string(size) + " bytes).";
            break;
        }
        if (cusx) {
            const CusxView view = ReadCusx(bytes.data(), r, r + length);
            VceChunk chunk;
            chunk.Position = s;
            chunk.Length = length;
            chunk.Cusx = true;
            chunk.OldId = CeNumberOf(view.Code);
            chunk.Name = view.Name;
            scan.Chunks.push_back(std::move(chunk));
            s = r + length;
            continue;
        }
        if (*pages == 0) {
            scan.Fault = where + " " + kNoPagesFault + ".";
            break;
        }
        if (length != Cus4RecordLength(*pages)) {
            scan.Fault = where + " has the stored length " + std::to_string(length) + ", but its " +
                         std::to_string(*pages) + " change pages need " + std::to_string(Cus4RecordLength(*pages)) +
                         ".";
            break;
        }
        VceChunk chunk;
        chunk.Position = s;
        chunk.Length = length;
        chunk.OldId = CeNumberOf(static_cast<std::uint16_t>(GetWordAtPos(r, file)));
        chunk.Name = ReadCeName(file, r).value_or("");
        scan.Chunks.push_back(std::move(chunk));
        s = r + length;
    }
    return scan;
}

namespace {

VceLoadResult VceRefused(std::string why)
{
    VceLoadResult result;
    result.Refusal = Notice{std::move(why)};
    return result;
}

}  // namespace

VceLoadResult LoadVceFile(const std::string& path, CeImportList& list)
{
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    if (bytes.size() < 4)
        return VceRefused("Could not open file - " + path + " holds " + std::to_string(bytes.size()) +
                          " bytes; a vce file begins with the four bytes \"CUS4\" or \"CUSX\".");
    if (!IsCeChunkAt(bytes, 0)) return VceRefused(kNotAVceFileMessage);
    const VceScan scan = ScanVceBytes(bytes, path);
    if (!scan.Fault.empty()) return VceRefused("Could not open file - " + scan.Fault);
    list.Lines.clear();
    for (const VceChunk& chunk : scan.Chunks) list.Lines.push_back(chunk.ImportLine());
    list.VcePath = path;
    std::error_code ec;
    list.PipedBytes.clear();
    if (!std::filesystem::is_regular_file(PathOf(path), ec)) list.PipedBytes = bytes;
    return {true, std::nullopt};
}

VceLoadResult ChooseAndLoadVceFile(const OpenLevel& lvl, CeImportList& list, UserInterface& ui,
                                   const std::string& initialDir)
{
    if (!lvl.LevelOpen()) return VceRefused(kNoLevelForImportMessage);
    const auto path = ui.ChooseFile(kOpenVceDialogTitle, kOpenVceFilterName, kOpenVcePattern, initialDir);
    if (!path) return {};
    return LoadVceFile(*path, list);
}

// --- choosing the new ids ---

bool SetImportPos(const std::vector<std::string>& ceList, CeImportList& list, int selected, int v,
                  UserInterface& ui)
{
    if (selected < 0 || selected >= static_cast<int>(list.Lines.size())) return false;
    const std::string id = std::to_string(v);
    for (const std::string& line : ceList) {
        if (CeListLineNumber(line) != id) continue;
        if (!ui.WarningYesNo("Custom Element Id " + id + " is occupied by " + Quoted(CeListLineName(line)) +
                             ", use anyways?"))
            return false;
    }
    std::string& line = list.Lines[static_cast<std::size_t>(selected)];
    line = WithNewId(line, v);
    return true;
}

void IncDecAll(CeImportList& list, int amount)
{
    for (std::string& line : list.Lines)
        if (const auto id = ImportLineNewIdValue(line)) line = WithNewId(line, *id + amount);
}

std::optional<int> ImportAtOfLine(const CeImportList& list, int k)
{
    if (k < 0 || k >= static_cast<int>(list.Lines.size())) return std::nullopt;
    const auto id = ImportLineNewIdValue(list.Lines[static_cast<std::size_t>(k)]);
    if (!id) return std::nullopt;
    return static_cast<int>(std::clamp<long long>(*id, 1, kCeCount));
}

// --- Finish Import ---

std::string OccupiedQuestion(const std::string& id, const std::string& name, bool cusx)
{
    std::string question = "Custom Element Id " + id + " is occupied by " + Quoted(name) + ", continue?";
    if (cusx)
        question += " The imported custom element takes its place whole: the settings it leaves at their defaults "
                    "are written out too, so that nothing of " + Quoted(name) + " stays in play.";
    else
        question += " The imported custom element takes its place: the game reads it after " + Quoted(name) +
                    " and plays the imported one.";
    return question;
}

std::vector<std::uint8_t> CusxWithWholeBase(const std::vector<std::uint8_t>& chunk, int ceNumber)
{
    const auto end = static_cast<std::int64_t>(chunk.size());
    if (end < kChunkHeaderLength + 2) return chunk;
    const CusxView view = ReadCusx(chunk.data(), kChunkHeaderLength, end);
    std::vector<std::uint8_t> present(256, 0);
    std::int64_t insertAt = end;  // no page count: the base part runs to the chunk's end
    for (const CusxEntryView& e : view.Entries) {
        if (e.Page != -1) break;
        present[e.Entry.Key] = 1;
        if (e.Entry.Key == CusxBaseKey::PageCount.Key) {
            insertAt = e.Entry.KeyPos;
            break;
        }
    }
    std::vector<std::uint8_t> defaults;
    for (const EntryKey& key : CusxBaseKey::All) {
        if (present[key.Key] || key.Key == CusxBaseKey::PageCount.Key) continue;
        if (key.Key == CusxBaseKey::Name.Key) {
            const std::string name = CusxDefaultName(ceNumber);
            AppendEntry(defaults, key.Key, std::vector<std::uint8_t>(name.begin(), name.end()));
        } else if (key.Type == EntryType::Contents) {
            AppendEntry(defaults, key.Key, std::vector<std::uint8_t>(kContentBytes, 0));  // one block of empty space
        } else {
            AppendEntry(defaults, key.Key, key.Default);
        }
    }
    std::vector<std::uint8_t> out(chunk.begin(), chunk.begin() + insertAt);
    out.insert(out.end(), defaults.begin(), defaults.end());
    out.insert(out.end(), chunk.begin() + insertAt, chunk.end());
    PutField(out.data(), ChunkField::Size, static_cast<std::uint32_t>(out.size() - kChunkHeaderLength));
    return out;
}

std::vector<std::uint8_t> CusxDefaultsCus4Lacks(int ceNumber)
{
    std::vector<std::uint8_t> out(ChunkKindOf(ChunkId::Cusx).Name.begin(), ChunkKindOf(ChunkId::Cusx).Name.end());
    out.resize(kChunkHeaderLength + kCode, 0);
    PutField(out.data() + kChunkHeaderLength, kDataElementCode, CeElementCode(ceNumber));
    for (const EntryKey& key : kCusxKeysCus4Lacks) AppendEntry(out, key.Key, key.Default);
    AppendEntry(out, CusxBaseKey::PageCount.Key, CusxBaseKey::PageCount.Default);
    // One page entry: the game reads a page entry before it looks at the chunk's length.
    AppendEntry(out, CusxPageKey::Index.Key, CusxPageKey::Index.Default);
    PutField(out.data(), ChunkField::Size, static_cast<std::uint32_t>(out.size() - kChunkHeaderLength));
    return out;
}

RenumberedVce RenumberVceCopy(OpenLevel& lvl, const CeImportList& list, const VceScan& scan,
                              const std::vector<std::uint8_t>& bytes, const FinishImportOptions& options,
                              const std::vector<int>& inUse)
{
    RenumberedVce result;
    MemoryFile copy(list.VcePath, bytes);
    // The first line of each old id, looked up once: the renumbering is linear in the chunks.
    std::unordered_map<std::string, int> firstLine;
    for (std::size_t k = list.Lines.size(); k-- > 0;) firstLine[ImportLineOldId(list.Lines[k])] = static_cast<int>(k);
    const auto lineOf = [&](unsigned id) {
        const auto at = firstLine.find(std::to_string(id));
        const int found = at == firstLine.end() ? -1 : at->second;
        lvl.Log().push_back("OldCEIdIsInImportList(" + std::to_string(id) + ") = " + std::to_string(found));
        return found;
    };
    auto hexBox = [&](std::int64_t at) {
        copy.Seek(at);
        const std::string hex = BytesToHex(ReadFileString(lvl, kHexBoxBytes, copy));
        lvl.Log().push_back("Bytes at " + std::to_string(at) + ": " + (hex.empty() ? "none, the end of the file" : hex));
        if (options.ShowBytes && !hex.empty()) options.ShowBytes(hex);
    };
    for (std::size_t k = 0; k < scan.Chunks.size(); ++k) {
        const int index = static_cast<int>(k);
        const VceChunk& chunk = scan.Chunks[k];
        const std::int64_t r = chunk.Position + kChunkHeaderLength;
        const std::uint16_t newId = NewIdOfImportLine(lvl, list, index);
        lvl.Log().push_back("CEIndex " + std::to_string(index) + " will have CEId " + std::to_string(newId));
        hexBox(r);
        if (options.Progress) options.Progress(k, scan.Chunks.size());
        const int own = lineOf(CeNumberOf(GetWordAtPos(r, copy)));
        lvl.Log().push_back("OLDCEId = " + std::to_string(own));
        const std::vector<std::int64_t> links =
            chunk.Cusx ? CusxLinkPositions(bytes, r, r + chunk.Length) : CeLinkPositions(copy, r);
        WriteCeLink(copy, r, CeElementCode(NewIdOfImportLine(lvl, list, index)));
        for (std::size_t n = 1; n < links.size(); ++n) {
            const std::int64_t at = links[n];
            if (at + 2 > r + chunk.Length) continue;  // only inside the chunk just read
            const std::uint16_t code = GetWordAtPos(at, copy);
            if (!IsCeCode(code)) continue;
            const int j = lineOf(CeNumberOf(code));
            if (j < 0) continue;
            ++result.LinkCount;
            WriteCeLink(copy, at, CeElementCode(NewIdOfImportLine(lvl, list, j)));
        }
        hexBox(r + chunk.Length);
    }
    // Only the chunks the scan listed go into the level. A CUSX chunk over a
    // CE number in use carries its whole base part; a CUS4 record over a CE
    // number a CUSX chunk of the level sets follows a CUSX chunk that puts
    // back the defaults of the settings a CUS4 record does not hold.
    std::vector<bool> used(kCeCount + 1, false), setByCusx(kCeCount + 1, false);
    for (const int id : inUse)
        if (id >= 1 && id <= kCeCount) used[static_cast<std::size_t>(id)] = true;
    if (!lvl.Index().CusxPositions.empty()) {
        const std::vector<std::uint8_t> level = lvl.File().ReadAll();
        for (const std::int32_t data : lvl.Index().CusxPositions)
            if (data >= 0 && data + kCode <= static_cast<std::int64_t>(level.size()))
                if (const std::uint16_t code = ReadWord(level.data() + data); IsCeCode(code))
                    setByCusx[static_cast<std::size_t>(CeNumberOf(code))] = true;
    }
    for (std::size_t k = 0; k < scan.Chunks.size(); ++k) {
        const VceChunk& chunk = scan.Chunks[k];
        const auto from = copy.Bytes().begin() + chunk.Position;
        std::vector<std::uint8_t> bytesOf(from, from + kChunkHeaderLength + chunk.Length);
        const auto id = ImportLineNewIdValue(list.Lines[k]).value_or(0);
        const bool taken = id >= 1 && id <= kCeCount && used[static_cast<std::size_t>(id)];
        if (chunk.Cusx && taken) {
            bytesOf = CusxWithWholeBase(bytesOf, static_cast<int>(id));
            ++result.WrittenWhole;
        }
        if (!chunk.Cusx && taken && setByCusx[static_cast<std::size_t>(id)]) {
            const std::vector<std::uint8_t> reset = CusxDefaultsCus4Lacks(static_cast<int>(id));
            result.Bytes.insert(result.Bytes.end(), reset.begin(), reset.end());
        }
        if (id >= 1 && id <= kCeCount) used[static_cast<std::size_t>(id)] = true;
        result.Starts.push_back(static_cast<std::int64_t>(result.Bytes.size()));
        result.Bytes.insert(result.Bytes.end(), bytesOf.begin(), bytesOf.end());
    }
    return result;
}

ImportResult FinishImport(OpenLevel& lvl, const std::vector<std::string>& ceList, const CeImportList& list,
                          UserInterface& ui, const FinishImportOptions& options)
{
    ImportResult result;
    const auto refuse = [&](std::string why) {
        result.Refusal = Notice{std::move(why)};
        return result;
    };
    if (!lvl.LevelOpen()) return refuse(kNoLevelForImportMessage);
    if (lvl.Format() == LevelFormat::Cookie10) return refuse(kOldestLevelImportMessage);
    if (list.VcePath.empty() || list.Lines.empty()) return refuse(kNothingToImportMessage);
    if (const int bad = FirstLineOutOfRange(list); bad >= 0) {
        const std::string& line = list.Lines[static_cast<std::size_t>(bad)];
        return refuse("Import line " + std::to_string(bad + 1) + " " + Quoted(line) + " gives the custom element id " +
                      ImportLineNewId(line) + ", which lies outside 1..256. Nothing was imported.");
    }
    // A plain file is read again, to see that it still holds what was listed.
    std::error_code ec;
    const std::vector<std::uint8_t> original =
        std::filesystem::is_regular_file(PathOf(list.VcePath), ec) ? ReadWholeFile(list.VcePath) : list.PipedBytes;
    const VceScan scan = ScanVceBytes(original, list.VcePath);
    if (const std::string fault = MismatchFault(scan, list); !fault.empty())
        return refuse("The file " + list.VcePath + " no longer matches the import list: " + fault +
                      ". Load it again. Nothing was imported.");

    // Every new id that a CE of the level holds, as long as the user goes on.
    bool goOn = true;
    std::unordered_map<std::string, std::vector<std::string>> held;  // the names of the CE list lines of each number
    for (const std::string& line : ceList) held[CeListLineNumber(line)].push_back(CeListLineName(line));
    std::vector<int> inUse;
    for (const auto& [number, names] : held) {
        int n = 0;
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), n);
        if (ec == std::errc() && end == number.data() + number.size()) inUse.push_back(n);
    }
    for (std::size_t j = 0; j < list.Lines.size() && goOn; ++j) {
        const std::string id = ImportLineNewId(list.Lines[j]);
        const auto at = held.find(id);
        if (at == held.end()) continue;
        for (std::size_t i = 0; i < at->second.size() && goOn; ++i)
            goOn = ui.WarningYesNo(OccupiedQuestion(id, at->second[i], scan.Chunks[j].Cusx));
    }
    // Chunks appended after the point where the game stops reading are lost to it.
    if (goOn) {
        const GameReading reading = ReadAsTheGame(lvl.File().ReadAll());
        if (reading.LostAt() >= 0)
            goOn = ui.WarningYesNo(GameStopsWarning(reading) + " Import all the same?");
    }

    if (goOn) {
        // The renumbered copy; the file on disk keeps its bytes.
        const RenumberedVce copy = RenumberVceCopy(lvl, list, scan, original, options, inUse);
        result.LinkCount = copy.LinkCount;
        const std::int64_t base = lvl.File().Size();
        const std::size_t n = list.Lines.size();
        LevelWrite step(lvl, "Import of " + std::to_string(n) + (n == 1 ? " CE" : " CEs"));
        lvl.Append(copy.Bytes);
        step.Commit();
        std::vector<std::int64_t> starts;
        std::vector<bool> cusx;
        for (std::size_t k = 0; k < scan.Chunks.size(); ++k) {
            starts.push_back(base + copy.Starts[k]);
            cusx.push_back(scan.Chunks[k].Cusx);
            result.NewCeLines.push_back(ImportLineNewId(list.Lines[k]) + ": " + scan.Chunks[k].Name);
        }
        IndexAppendedCes(lvl, starts, cusx);
        result.Status = ImportStatus::Imported;
    } else {
        result.Status = ImportStatus::Declined;
    }
    return result;
}

Notices ImportNotices(const ImportResult& result)
{
    switch (result.Status) {
    case ImportStatus::Imported:
        return {{std::to_string(result.LinkCount) + kLinksChangedSuffix}, {kImportFinishedMessage}};
    case ImportStatus::Declined:
        return {{kImportDeclinedMessage}};
    case ImportStatus::Refused:
        break;
    }
    return result.Refusal ? Notices{*result.Refusal} : Notices{};
}

std::vector<std::int64_t> CusxLinkPositions(const std::vector<std::uint8_t>& bytes, std::int64_t data,
                                            std::int64_t end)
{
    std::vector<std::int64_t> positions{data};
    if (data < 0 || end > static_cast<std::int64_t>(bytes.size()) || data + 2 > end) return positions;
    const CusxView view = ReadCusx(bytes.data(), data, end);
    for (const CusxEntryView& e : view.Entries) {
        if (e.Codes.empty()) continue;  // no element code in it
        if (e.Entry.Kind == ValueKind::S16) {
            positions.push_back(e.Entry.ValuePos);
            continue;
        }
        const std::int64_t codes = e.Entry.Length / kContentBytes * (kContentBytes / kCode);  // whole 3x3 contents
        for (std::int64_t i = 0; i < codes; ++i) positions.push_back(e.Entry.ValuePos + 2 * i);
    }
    return positions;
}

// --- export ---

std::string VcePathOf(const std::string& levelPath)
{
    return levelPath + kVceExtension;
}

ExportPlan PlanExport(OpenLevel& lvl, const std::vector<std::string>& ceList, const std::vector<bool>& checked)
{
    ExportPlan result;
    if (!lvl.LevelOpen() || lvl.LevelPath().empty()) {
        result.Refusals.push_back({kNoLevelForExportMessage});
        return result;
    }
    ByteFile& file = lvl.File();
    std::vector<std::uint8_t>& out = result.Bytes;
    const auto& ceLines = lvl.Index().CeLines;
    const std::size_t chunks = ceLines.empty() ? lvl.CePositions().size() : ceLines.size();
    if (chunks == 0) {
        result.Refusals.push_back({kNoCesToExportMessage});
        return result;
    }
    const std::size_t lines = std::min({ceList.size(), checked.size(), chunks});
    for (std::size_t k = 0; k < lines; ++k) {
        if (!checked[k]) continue;
        std::vector<std::uint8_t> chunk;
        const bool cusx = !ceLines.empty() && ceLines[k].Cusx;
        const std::size_t index = ceLines.empty() ? k : ceLines[k].Index;
        const std::string fault = cusx ? CusxExportFault(file, lvl.Index().CusxPositions[index], chunk)
                                       : ExportFault(file, lvl.CePositions()[index], chunk);
        if (!fault.empty()) {
            result.RefusedLines.push_back(static_cast<int>(k));
            result.Refusals.push_back({"The custom element " + Quoted(ceList[k]) + " was not exported: " + fault + "."});
            continue;
        }
        out.insert(out.end(), chunk.begin(), chunk.end());
        ++result.Exported;
    }
    result.Path = VcePathOf(lvl.LevelPath());
    result.FileName = VcePathOf(file.Name());  // works where the full path is longer than the system takes
    if (result.Exported == 0)  // an earlier export in the file's place stays as it is
        result.Refusals.push_back({result.RefusedLines.empty()
                                       ? std::string(kNothingTickedMessage)
                                       : "No custom element was exported: " + result.Path + " was not written."});
    return result;
}

ExportResult WriteExport(const ExportPlan& plan, UserInterface& ui)
{
    ExportResult result;
    result.Path = plan.Path;
    result.Exported = plan.Exported;
    result.RefusedLines = plan.RefusedLines;
    if (plan.Exported == 0 || plan.Path.empty()) return result;
    const std::string& name = plan.FileName.empty() ? plan.Path : plan.FileName;
    std::error_code ec;
    if (std::filesystem::exists(PathOf(name), ec) && !ui.WarningYesNo(ReplaceVceQuestion(plan.Path, plan.Exported))) {
        result.Declined = true;  // an earlier export stays as it is
        return result;
    }
    WriteWholeFile(name, plan.Bytes);
    result.Written = true;
    return result;
}

std::string ReplaceVceQuestion(const std::string& path, int exported)
{
    return "The file " + path + " exists already. Replace it with the " + std::to_string(exported) +
           (exported == 1 ? " custom element" : " custom elements") + " ticked now?";
}

std::string ExportedMessage(int exported, const std::string& path)
{
    return std::to_string(exported) + (exported == 1 ? " CE exported successfully" : kExportedSuffix) + " to " + path;
}

}  // namespace vantrel
