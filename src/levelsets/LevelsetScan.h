// The scan for levelsets: walks the levels directory of the data directory
// depth first and builds the levelset tree with its totals. Standard C++
// only; the levelset page shows the tree, vantrel-cli prints it.
#pragma once

#include "levelsets/LevelsetConfig.h"

#include <functional>
#include <string>
#include <vector>

namespace vantrel {

// One levelset directory of the tree.
struct LevelsetNode {
    std::string DirName;  // the last component of its path
    std::string Label;    // as LevelsetLabel gives it
    LevelsetKind Kind = LevelsetKind::Levelset;
    long Levels = 0;
    std::vector<LevelsetNode> Children;  // a group's levelsets and groups, in listing order
};

struct ScanTotals {
    long Levels = 0;
    long Levelsets = 0;
    long Groups = 0;
    bool operator==(const ScanTotals&) const = default;
};

// "L levels in \rS levelsets in \rG levelgroups" with the line breaks given;
// a count of one takes the singular ("1 levelgroup").
std::string TotalsText(const ScanTotals& totals, const std::string& lineBreak);

struct ScanOptions {
    // Called after each node with the totals so far.
    std::function<void(const ScanTotals&)> Progress;
    // How deep groups may nest below the levels directory.
    int MaxDepth = 64;
};

struct LevelsetScanResult {
    std::string DataDir;
    std::string LevelsDir;
    bool LevelsDirFound = false;     // false: the tree was not rebuilt
    std::vector<LevelsetNode> Roots;  // the tree's root nodes, when LevelsDirFound
    ScanTotals Totals;
    std::string LastListed;  // the levelset directory listed last; empty when none
    // What the walk left out and why, in order: links back to a folder that
    // holds them, unreadable levelinfo.conf files, folders nested too deeply,
    // then the folders without levelinfo.conf.
    std::vector<std::string> Notices;
};

// Walks levelsDir. Directories without levelinfo.conf (or with a folder of
// that name) are reported (each in its own notice, or all in one when there
// are more than three); a folder reached again through a link back to a
// folder that holds it, a levelinfo.conf that cannot be read, and folders
// nested too deeply (once) are left out and reported. The walk shows nothing:
// its notices are in result.Notices, also when it fails (to be shown before
// its error). Throws when a directory cannot be listed.
void ScanLevelsDirectory(const std::string& levelsDir, LevelsetScanResult& result, const ScanOptions& options = {});

// The tree as text: one label a line, indented two blanks a level.
std::vector<std::string> TreeLines(const std::vector<LevelsetNode>& roots);

// Delete on a node of the levelset tree, labelled label: why it is refused
// (a level group, a levelset with levels), or the empty text; the window then
// asks DeleteNodeQuestion. Nothing on disk is deleted.
std::string DeleteNodeRefusal(const std::string& label);
std::string DeleteNodeQuestion(const std::string& label);

inline constexpr char kDeleteGroupMessage[] =
    "This is a levelgroup, you must first delete the levelsets within this and then delete it";
inline constexpr char kDeleteLevelsetMessage[] = "Levelset is not empty, please delete the levels first";

}  // namespace vantrel
