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

}  // namespace vantrel
