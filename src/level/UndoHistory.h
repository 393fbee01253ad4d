// Undo and redo of the changes made to the open level. Every command's
// writes are one step of the level (OpenLevel::Steps); the history takes the
// steps as they come. An undo writes the bytes a step replaced back into the
// file through the level's door, as a step of its own (bytes the step
// appended are cut off again); a redo writes the step's bytes again. Either
// is refused, with nothing written, when the file no longer holds what the
// step (or the undo) left there: another program changed it since.
//
// The history lasts as long as the level is open: a load, Save and Close or a
// batch over the level's folder clears it, and steps of one opening of a file
// never reach another.
#pragma once

#include "level/OpenLevel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr char kNothingToUndoMessage[] = "There is nothing to undo.";
inline constexpr char kNothingToRedoMessage[] = "There is nothing to redo.";

class UndoHistory {
public:
    // Takes the steps written into lvl since the last look: each can be
    // undone, and the first new one empties the redo list. When the level was
    // closed or another file opened meanwhile, the history is cleared first;
    // the line for the log that says so is returned (empty otherwise).
    std::string Take(const OpenLevel& lvl);

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // The Edit menu's items: "Undo Title", "Redo Paste 3 x 3 cells"; "Undo" and "Redo" alone when there is none.
    std::string UndoText() const;
    std::string RedoText() const;

    // Undoes the last step, or redoes the last one undone, as described
    // above; returns the log line that says what was done. Throws VantrelError
    // (nothing written) when it is refused.
    std::string Undo(OpenLevel& lvl);
    std::string Redo(OpenLevel& lvl);

    // Forgets every step, because of why ("Save and Close"); the log line that
    // says so, or nothing when there was nothing to forget.
    std::string Clear(const std::string& path, const std::string& why);
    // The level was loaded again by this history's own command (after an
    // undo, a redo or a restore): its steps stay and follow the new opening.
    void Follow(const OpenLevel& lvl);

private:
    std::string Replay(OpenLevel& lvl, const LevelStep& step, bool forward);
    // Replays the last step of from (forward: a redo) and moves it onto to.
    std::string Move(OpenLevel& lvl, std::vector<LevelStep>& from, std::vector<LevelStep>& to, bool forward);

    std::vector<LevelStep> undo_;
    std::vector<LevelStep> redo_;
    std::size_t taken_ = 0;     // steps of the level already taken
    std::uint64_t opening_ = 0;  // the opening of the level file they belong to
};

// What a step is called in the menu and the log: its name, or "Change".
std::string StepName(const LevelStep& step);

// What steps changed in the file at path, for a user to check: one line
// "changed: PATH, N writes of B bytes, E0 -> E1 bytes long"; with verbose,
// then one line an edit: "write: offset O, N bytes" (with "(K appended)" when
// it extended the file) or "cut: offset O, N bytes". Nothing when no step wrote.
std::vector<std::string> ChangeLines(const std::string& path, const std::vector<LevelStep>& steps, bool verbose);

}  // namespace vantrel
