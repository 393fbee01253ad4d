// The journal of a step: before a step's first write into a level file, the
// file's length and the bytes the write replaces go into a file beside the
// level (NAME.level.journal), synced; each later write of the step adds the
// bytes it replaces the same way before it is made. When the step is whole
// and the level synced, the journal goes. A program killed in the middle of a
// step leaves the journal: the next opening of the level writes the recorded
// bytes back, last first, and cuts the file to the recorded length (which
// takes off what the step appended), so the level is exactly as before the
// step. The journal holds a check of the level's bytes before the step: a
// level that another program wrote after the step was cut off (one that
// putting the journal back would not make what the step began from) is left
// as it is. The journal is read and written through the platform's calls only.
#pragma once

#include "base/Error.h"
#include "platform/Platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

class ByteFile;
class WritableFile;

// A journal that could not be made or written, with the kind of failure.
class JournalError : public VantrelError {
public:
    JournalError(const std::string& text, platform::Failure why) : VantrelError(text), why_(why) {}
    platform::Failure Why() const { return why_; }

private:
    platform::Failure why_;
};

// The journal's name for the level at path: NAME.level.journal beside it, or
// a shorter name of its own when that one would be longer than a file name
// may be (".NAME-HASH.journal", NAME cut short).
std::string JournalNameOf(const std::string& levelPath);

// The journal a step writes, made at its first record.
class StepJournal {
public:
    // The level's bytes before the step are read from level when given (the
    // file the step writes), else from levelPath.
    explicit StepJournal(std::string levelPath, const ByteFile* level = nullptr)
        : levelPath_(std::move(levelPath)), level_(level)
    {
    }
    ~StepJournal();
    StepJournal(StepJournal&&) = default;
    StepJournal& operator=(StepJournal&&) = default;

    // Records, synced, the n bytes the file holds now at offset, before they
    // are written over (only those within endBefore, the length the file had
    // when the step began), and the bytes the write puts there; with cut, the
    // file is cut to offset and bytes are those cut off. The first record
    // makes the journal. Throws VantrelError when the journal cannot be
    // written (nothing of the level was written then).
    void Record(std::int64_t endBefore, std::int64_t offset, const std::uint8_t* bytes, std::size_t n,
                const std::uint8_t* after, std::size_t written, bool cut = false);
    // Whether a record was made (the journal is on disk).
    bool Started() const { return file_.IsOpen(); }
    // The step is whole in the synced level: the journal goes. Throws when it
    // cannot be removed or emptied (it would take the step back at the next opening).
    void Finish();
    // The step could not be taken back: the journal stays for the next opening.
    void Keep();
    const std::string& Name() const { return name_; }

private:
    std::string levelPath_;
    const ByteFile* level_ = nullptr;
    std::string name_;
    platform::File file_;
    std::int64_t size_ = 0;  // bytes written into the journal
};

// What putting a level back from its journal did.
struct JournalRollBack {
    bool Found = false;     // there was a journal
    bool PutBack = false;   // the level is as it was before the step (or was never touched); false too when
                            // another program wrote the level since (the journal was removed, the level left)
    std::string Message;    // what to tell the user; empty when there was no journal
};

// The same for a level file open for writing whose lock is held, with the
// journal's name.
JournalRollBack RollBackJournalOf(WritableFile& level, const std::string& journal, const std::string& shown);

// Puts the level at path back to the state its journal recorded, if it has
// one, under the level's lock (waiting up to lockWaitMs for another program
// of ours that holds it), and removes the journal. Nothing is thrown: what
// happened is in the result.
JournalRollBack RollBackJournal(const std::string& levelPath, const std::string& shown, long lockWaitMs);

// What is said when a level was put back, and when it could not be.
std::string PutBackMessage(const std::string& shown, const std::string& journal);
// A journal cut inside its header: the level was never touched by its step.
std::string CutJournalMessage(const std::string& shown, const std::string& journal);
// The level was written by another program after the step was cut off: the
// journal does not fit it any more, and was removed without putting anything back.
std::string ChangedSinceMessage(const std::string& shown, const std::string& journal);
std::string NotPutBackMessage(const std::string& shown, const std::string& journal, const std::string& why);

}  // namespace vantrel
