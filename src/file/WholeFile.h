// Files written whole (pictures, .vce files, Level Sketch output): the bytes
// go into a new file in the same folder, which is checked and then renamed
// over the name asked for, so that a failure leaves no partial file and the
// file of that name (if any) as it was.
#pragma once

#include "base/Error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// Why a whole file could not be written, with the system's error number and its text.
class WholeFileError : public VantrelError {
public:
    WholeFileError(const std::string& text, int error, std::string reason)
        : VantrelError(text), errno_(error), reason_(std::move(reason))
    {
    }
    int Errno() const { return errno_; }
    // The system's text for the error ("Permission denied").
    const std::string& Reason() const { return reason_; }

private:
    int errno_;
    std::string reason_;
};

// Writes bytes to path as described above. Throws WholeFileError naming the
// file and the system's reason when it cannot be written whole. A new file
// takes the user's umask, or the permission bits mode when given.
void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                    std::optional<unsigned> mode = std::nullopt);
void WriteWholeFile(const std::string& path, const std::string& bytes);

// The same for a file that must not exist yet: the checked new file is
// renamed to path without replacing, which fails when the name is taken, so that no file is
// ever replaced and no part of one is ever seen under path. False (nothing
// written, nothing left) when path exists; throws as WriteWholeFile does.
// With mode, the file has those permission bits instead of the umask's.
bool WriteNewWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                       std::optional<unsigned> mode = std::nullopt);

// The files written whole are made under a temporary name of their own, short
// whatever the name asked for (".vantrel-tmp-PROCESS-K"), so that a file left
// by a process that was killed is known as ours and as left over.
inline constexpr char kTemporaryPrefix[] = ".vantrel-tmp-";
std::string TemporaryName(std::uint64_t process, std::uint64_t k);
// The process a temporary name was made by; nothing for any other name.
std::optional<std::uint64_t> TemporaryNameProcess(const std::string& name);
// Removes the temporary files in folder of processes that are no longer
// running, once a process for each folder (again: every time); returns the
// names removed. Called before a file is made in the folder and when a level
// in it is opened.
std::vector<std::string> RemoveStaleTemporaryFiles(const std::string& folder, bool again = false);

}  // namespace vantrel
