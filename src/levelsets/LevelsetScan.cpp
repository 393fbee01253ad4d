#include "levelsets/LevelsetScan.h"

#include "base/Error.h"
#include "base/PathText.h"
#include "platform/Platform.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <utility>

namespace fs = std::filesystem;

namespace vantrel {

namespace {

constexpr std::size_t kMaxSingleMessages = 3;

using FolderId = platform::FileId;

class Scanner {
public:
    Scanner(const ScanOptions& options, LevelsetScanResult& result) : options_(options), result_(result) {}

    // The walk; the folders without levelinfo.conf join the notices at its end, also when it fails.
    void Run(const std::string& levelsDir)
    {
        FolderId id;
        if (Identify(levelsDir, id)) ancestors_.insert(id);
        try {
            ScanLevelsetDir(levelsDir, result_.Roots, 0);
        } catch (...) {
            ReportMissing();
            throw;
        }
        ReportMissing();
    }

private:
    static bool Identify(const std::string& path, FolderId& id)
    {
        platform::FileInfo info;
        if (!platform::Look(path, info).Ok()) return false;
        id = info.Id;
        return true;
    }

    // The subdirectories of dir (links to directories included), in listing order.
    static std::vector<std::string> Subdirectories(const std::string& dir)
    {
        std::vector<std::string> names;
        std::error_code ec;
        fs::directory_iterator it(PathOf(dir), ec), end;
        for (; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name == "." || name == "..") continue;
            std::error_code statError;
            if (it->is_directory(statError)) names.push_back(name);
        }
        if (ec) throw VantrelError("Cannot list the folder " + dir + ": " + ec.message());
        std::sort(names.begin(), names.end(), LevelNameLess);
        return names;
    }

    static bool HoldsLevelinfo(const std::string& dir)
    {
        const std::string conf = JoinPath(dir, kLevelinfoName);
        std::error_code ec;
        const auto status = fs::status(PathOf(conf), ec);
        if (ec && status.type() != fs::file_type::not_found)
            throw VantrelError("Cannot read " + conf + ": " + ec.message());
        // A folder of that name is no levelinfo.conf.
        return fs::exists(status) && !fs::is_directory(status);
    }

    void ScanLevelsetDir(const std::string& dir, std::vector<LevelsetNode>& into, int depth)
    {
        for (const std::string& name : Subdirectories(dir)) {
            const std::string sub = JoinPath(dir, name);
            // Only a link back to a folder that holds it is a loop: another
            // path to a folder shown elsewhere is shown again.
            FolderId id;
            const bool known = Identify(sub, id);
            if (known && ancestors_.count(id) != 0) {
                Report(sub + " leads back to a folder that holds it; it is left out.");
                continue;
            }
            // A levelinfo.conf that cannot be read leaves its folder out, named; the scan goes on.
            LevelsetInfo info;
            try {
                if (!HoldsLevelinfo(sub)) {
                    missing_.push_back(sub);
                    continue;
                }
                info = LevelsetLabel(sub);
            } catch (const VantrelError& e) {
                Report(std::string(e.what()) + "; the folder is left out.");
                continue;
            }
            result_.LastListed = sub;
            if (info.Kind == LevelsetKind::Group) {
                ++result_.Totals.Groups;
            } else {
                ++result_.Totals.Levelsets;
                result_.Totals.Levels += info.Levels;
            }
            LevelsetNode& node = into.emplace_back();
            node.DirName = name;
            node.Label = info.Label;
            node.Kind = info.Kind;
            node.Levels = info.Levels;
            if (options_.Progress) options_.Progress(result_.Totals);
            if (info.Kind != LevelsetKind::Group) continue;
            if (depth + 1 >= options_.MaxDepth) {
                ReportOnce(depthReported_, "The folders inside " + sub + " lie more than " +
                                               std::to_string(options_.MaxDepth) + " levels deep; they are left out.");
                continue;
            }
            // node stays valid: nothing is added to into while its children are scanned.
            if (known) ancestors_.insert(id);
            ScanLevelsetDir(sub, node.Children, depth + 1);
            if (known) ancestors_.erase(id);
        }
    }

    void ReportOnce(bool& reported, const std::string& text)
    {
        if (reported) return;
        reported = true;
        Report(text);
    }

    void Report(const std::string& text) { result_.Notices.push_back(text); }

    void ReportMissing()
    {
        if (missing_.size() <= kMaxSingleMessages) {
            for (const std::string& dir : missing_) Report(JoinPath(dir, kLevelinfoName) + " not found!");
        } else {
            std::string text = std::string(kLevelinfoName) + " not found in " + std::to_string(missing_.size()) +
                               " folders:";
            for (const std::string& dir : missing_) text += "\n" + dir;
            Report(text);
        }
        missing_.clear();
    }

    const ScanOptions& options_;
    LevelsetScanResult& result_;
    std::set<FolderId> ancestors_;  // the folders that hold the one being scanned
    std::vector<std::string> missing_;
    bool depthReported_ = false;
};

}  // namespace

std::string TotalsText(const ScanTotals& totals, const std::string& lineBreak)
{
    return Counted(totals.Levels, "level", "levels") + " in " + lineBreak +
           Counted(totals.Levelsets, "levelset", "levelsets") + " in " + lineBreak +
           Counted(totals.Groups, "levelgroup", "levelgroups");
}

void ScanLevelsDirectory(const std::string& levelsDir, LevelsetScanResult& result, const ScanOptions& options)
{
    result.LevelsDir = levelsDir;
    std::error_code ec;
    result.LevelsDirFound = fs::is_directory(PathOf(levelsDir), ec);
    if (result.LevelsDirFound) Scanner(options, result).Run(levelsDir);
}

namespace {
void AddTreeLines(const std::vector<LevelsetNode>& nodes, const std::string& indent, std::vector<std::string>& lines)
{
    for (const LevelsetNode& node : nodes) {
        lines.push_back(indent + node.Label);
        AddTreeLines(node.Children, indent + "  ", lines);
    }
}
}  // namespace

std::vector<std::string> TreeLines(const std::vector<LevelsetNode>& roots)
{
    std::vector<std::string> lines;
    AddTreeLines(roots, "", lines);
    return lines;
}

std::string DeleteNodeRefusal(const std::string& label)
{
    const std::string end = label.size() >= 7 ? label.substr(label.size() - 7) : label;
    if (end == "(Group)") return kDeleteGroupMessage;
    if (end == "levels)") return kDeleteLevelsetMessage;
    return {};
}

std::string DeleteNodeQuestion(const std::string& label)
{
    return "Are you sure you want to delete levelset \"" + label + "\"?";
}

}  // namespace vantrel
