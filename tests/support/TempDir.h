// A temporary folder for one test, removed with everything in it afterwards,
// and access to the real level files of ../shared/corpus.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vantrel::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    // Writes bytes to a file in the folder and returns its full path.
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file);

// Puts the file from in the place of to, as another program replaces a file:
// a rename over it (on Windows, where a rename cannot replace a file that is
// open, the system's replacing of a file).
void ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

// The corpus folder, or an empty path when it is absent.
std::filesystem::path CorpusDir();
// Copies a corpus file (path relative to the corpus folder) into dir and
// returns the copy's path, writable.
std::string CopyFromCorpus(const std::string& relative, const TempDir& dir);

}  // namespace vantrel::test
