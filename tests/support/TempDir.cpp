#include "support/TempDir.h"

#include "platform/Platform.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace vantrel::test {

TempDir::TempDir()
{
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = std::filesystem::temp_directory_path() / ("vantrel-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const
{
    const auto file = (path_ / name).make_preferred();  // "set/a.level" named as the program names it
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
    return file.string();
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const
{
    return Write(name, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    const platform::Outcome replaced = platform::ReplaceWith(from.string(), to.string());
    if (!replaced.Ok()) throw std::runtime_error("cannot replace " + to.string() + ": " + replaced.Text);
}

std::filesystem::path CorpusDir()
{
    std::filesystem::path dir = VANTREL_CORPUS_DIR;
    std::error_code ec;
    return std::filesystem::is_directory(dir, ec) ? std::filesystem::canonical(dir) : std::filesystem::path();
}

std::string CopyFromCorpus(const std::string& relative, const TempDir& dir)
{
    const auto source = CorpusDir() / relative;
    const auto target = dir.Path() / source.filename();
    std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    return target.string();
}

}  // namespace vantrel::test
