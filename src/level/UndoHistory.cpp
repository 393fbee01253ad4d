#include "level/UndoHistory.h"

#include "base/Error.h"
#include "base/Text.h"

#include <algorithm>

namespace vantrel {

namespace {

// An edit that cut the file: the bytes cut off, nothing written.
bool IsCut(const LevelEdit& e)
{
    return e.After.empty() && !e.Before.empty();
}

// Replays a step's edits forward (its bytes written again) or backward (the
// bytes it replaced written back, what it appended cut off) through two
// operations: write(offset, bytes) and cut(size).
template <typename Write, typename Cut>
void ApplyStep(const LevelStep& step, bool forward, Write&& write, Cut&& cut)
{
    if (forward) {
        for (const LevelEdit& e : step.Edits) {
            if (IsCut(e))
                cut(e.Offset);
            else
                write(e.Offset, e.After);
        }
        cut(step.EndAfter);
    } else {
        for (auto e = step.Edits.rbegin(); e != step.Edits.rend(); ++e)
            if (!e->Before.empty()) write(e->Offset, e->Before);
        cut(step.EndBefore);
    }
}

// The same replay on bytes in memory; false when the bytes cannot take it
// (an edit past their end).
bool ApplyInMemory(std::vector<std::uint8_t>& bytes, const LevelStep& step, bool forward)
{
    bool fits = true;
    ApplyStep(
        step, forward,
        [&](std::int64_t at, const std::vector<std::uint8_t>& b) {
            const auto off = static_cast<std::size_t>(at);
            if (at < 0 || off > bytes.size()) {
                fits = false;
                return;
            }
            if (bytes.size() < off + b.size()) bytes.resize(off + b.size());
            std::copy(b.begin(), b.end(), bytes.begin() + static_cast<std::ptrdiff_t>(off));
        },
        [&](std::int64_t size) {
            if (static_cast<std::size_t>(size) < bytes.size()) bytes.resize(static_cast<std::size_t>(size));
        });
    return fits;
}

std::string Refusal(const std::string& what, const std::string& path, const std::string& why)
{
    return what + " is refused: the level file " + path + " was changed by another program since (" + why +
           "), so nothing was written.";
}


}  // namespace

std::string StepName(const LevelStep& step)
{
    return step.Name.empty() ? "Change" : step.Name;
}

std::string UndoHistory::Take(const OpenLevel& lvl)
{
    std::string note;
    if (lvl.Opening() != opening_) {
        note = Clear(lvl.LevelPath(), "the level was closed or loaded again");
        opening_ = lvl.Opening();
        taken_ = 0;
    }
    const std::vector<LevelStep>& steps = lvl.Steps();
    if (!lvl.LevelOpen()) {  // the writes of a closed level (a batch's) are not the user's to undo
        taken_ = steps.size();
        return note;
    }
    if (taken_ > steps.size()) taken_ = 0;
    if (taken_ < steps.size()) redo_.clear();  // a new change: what was undone cannot come back
    for (; taken_ < steps.size(); ++taken_) undo_.push_back(steps[taken_]);
    return note;
}

std::string UndoHistory::UndoText() const
{
    return undo_.empty() ? "Undo" : "Undo " + StepName(undo_.back());
}

std::string UndoHistory::RedoText() const
{
    return redo_.empty() ? "Redo" : "Redo " + StepName(redo_.back());
}

std::string UndoHistory::Replay(OpenLevel& lvl, const LevelStep& step, bool forward)
{
    const std::string what = (forward ? "Redo " : "Undo ") + StepName(step);
    // The lock, and the checks that this is the file loaded and that it ends where this program left it.
    LevelWrite write(lvl, what);
    std::vector<std::uint8_t> now = lvl.File().ReadAll();
    const std::int64_t end = forward ? step.EndBefore : step.EndAfter;
    if (static_cast<std::int64_t>(now.size()) != end)
        throw VantrelError(Refusal(what, lvl.LevelPath(),
                                   "it is " + std::to_string(now.size()) + " bytes long, not " + std::to_string(end)));
    // The file holds what the step left (or, to redo, what it found) exactly
    // when replaying the step there and back gives the same bytes.
    std::vector<std::uint8_t> back = now;
    const bool fits = ApplyInMemory(back, step, forward) && ApplyInMemory(back, step, !forward);
    if (!fits || back != now) {
        const auto differ = std::mismatch(now.begin(), now.end(), back.begin(), back.end());
        throw VantrelError(Refusal(what, lvl.LevelPath(),
                                   "its bytes at offset " + std::to_string(differ.first - now.begin()) +
                                       " are not what " + (forward ? "the undo" : StepName(step)) + " left there"));
    }
    ApplyStep(
        step, forward,
        [&](std::int64_t at, const std::vector<std::uint8_t>& b) {
            if (lvl.Patch(at, b.data(), b.size()) == PatchResult::OutOfRange)
                throw VantrelError(what + " failed: offset " + std::to_string(at) + " lies outside the file");
        },
        [&](std::int64_t size) {
            if (size < lvl.File().Size()) lvl.Truncate(size);
        });
    write.Commit();
    taken_ = lvl.Steps().size();  // the undo's own writes are not a change of the user's
    return (forward ? "Redone: " : "Undone: ") + StepName(step);
}

std::string UndoHistory::Move(OpenLevel& lvl, std::vector<LevelStep>& from, std::vector<LevelStep>& to,
                              bool forward)
{
    if (from.empty()) throw VantrelError(forward ? kNothingToRedoMessage : kNothingToUndoMessage);
    const std::string line = Replay(lvl, from.back(), forward);
    to.push_back(std::move(from.back()));
    from.pop_back();
    return line;
}

std::string UndoHistory::Undo(OpenLevel& lvl)
{
    return Move(lvl, undo_, redo_, false);
}

std::string UndoHistory::Redo(OpenLevel& lvl)
{
    return Move(lvl, redo_, undo_, true);
}

std::string UndoHistory::Clear(const std::string& path, const std::string& why)
{
    const std::size_t n = undo_.size() + redo_.size();
    undo_.clear();
    redo_.clear();
    if (n == 0) return {};
    return "Undo history cleared (" + why + "): " + Counted(n, "change", "changes") + " to " + path +
           " can no longer be undone or redone";
}

void UndoHistory::Follow(const OpenLevel& lvl)
{
    opening_ = lvl.Opening();
    taken_ = lvl.Steps().size();
}

std::vector<std::string> ChangeLines(const std::string& path, const std::vector<LevelStep>& steps, bool verbose)
{
    std::vector<std::string> lines;
    std::size_t edits = 0, bytes = 0;
    for (const LevelStep& s : steps)
        for (const LevelEdit& e : s.Edits) {
            ++edits;
            bytes += IsCut(e) ? 0 : e.After.size();
            if (!verbose) continue;
            const std::string at = "offset " + std::to_string(e.Offset) + ", ";
            if (IsCut(e)) {
                lines.push_back("cut: " + at + Counted(e.Before.size(), "byte", "bytes"));
            } else {
                std::string line = "write: " + at + Counted(e.After.size(), "byte", "bytes");
                if (e.After.size() > e.Before.size())
                    line += " (" + std::to_string(e.After.size() - e.Before.size()) + " appended)";
                lines.push_back(line);
            }
        }
    if (edits == 0) return {};
    lines.insert(lines.begin(), "changed: " + path + ", " + Counted(edits, "write", "writes") + " of " +
                                    Counted(bytes, "byte", "bytes") + ", " +
                                    std::to_string(steps.front().EndBefore) + " -> " +
                                    std::to_string(steps.back().EndAfter) + " bytes long");
    return lines;
}

}  // namespace vantrel
