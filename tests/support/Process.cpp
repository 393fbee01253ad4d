#include "support/Process.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include <cerrno>

namespace vantrel::test {

std::string WindowsCommandLine(const std::string& program, const std::vector<std::string>& args)
{
    std::string line;
    const auto add = [&](const std::string& arg) {
        if (!line.empty()) line += ' ';
        if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) {
            line += arg;
            return;
        }
        line += '"';
        std::size_t backslashes = 0;
        for (const char c : arg) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            // Backslashes before a quote are doubled, and the quote escaped.
            line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
            backslashes = 0;
            line += c;
        }
        line.append(2 * backslashes, '\\');  // before the closing quote
        line += '"';
    };
    add(program);
    for (const std::string& a : args) add(a);
    return line;
}

#ifdef _WIN32

bool UnderWine()
{
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

namespace {

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

HANDLE Inherited(const std::filesystem::path& path, bool write)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(path.empty() ? L"NUL" : path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                         write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& args, const ProcessFiles& files)
{
    const HANDLE in = Inherited(files.In, false);
    const HANDLE out = Inherited(files.Out, true);
    const HANDLE err = files.Err.empty() ? out : Inherited(files.Err, true);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = in;
    start.hStdOutput = out;
    start.hStdError = err;
    std::wstring line = Wide(WindowsCommandLine(program, args));
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(Wide(program).c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          nullptr, &start, &process);
    for (const HANDLE h : {in, out, err != out ? err : INVALID_HANDLE_VALUE})
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    if (!started) return -1;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(status);
}

#else

bool UnderWine() { return false; }

int RunProgram(const std::string& program, const std::vector<std::string>& args, const ProcessFiles& files)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string in = files.In.empty() ? "/dev/null" : files.In.string();
    const std::string out = files.Out.string(), err = files.Err.string();
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err.empty())
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    else
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int raw = 0;
    while (::waitpid(pid, &raw, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

#endif

}  // namespace vantrel::test
