#include "data/utf16_win32.h"
#include "test_support.h"

#include <sstream>
#include <windows.h>

namespace veldro::test {

namespace {

// A file the child process writes a stream into.
HANDLE inheritedFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(veldro::toUtf16(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The environment with the "NAME=value" words of `changes` set in it, as
// CreateProcessW takes it: each entry ends with a null, the block with one more.
std::wstring environmentWith(const std::string& changes) {
    std::wstring block;
    std::istringstream words(changes);
    std::vector<std::wstring> names;
    for (std::string word; words >> word;) {
        block += veldro::toUtf16(word) + L'\0';
        names.push_back(veldro::toUtf16(word.substr(0, word.find('=') + 1)));
    }
    wchar_t* inherited = GetEnvironmentStringsW();
    for (const wchar_t* entry = inherited; *entry; entry += wcslen(entry) + 1) {
        const std::wstring text(entry);
        bool changed = false;
        for (const auto& name : names) changed = changed || text.rfind(name, 0) == 0;
        if (!changed) block += text + L'\0';
    }
    FreeEnvironmentStringsW(inherited);
    return block + L'\0';
}

} // namespace

int runCliInto(const std::string& arguments, const std::string& environment,
               const std::string& outFile, const std::string& errFile) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    startup.hStdInput = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    &inherit, OPEN_EXISTING, 0, nullptr);
    startup.hStdOutput = inheritedFile(outFile);
    startup.hStdError = inheritedFile(errFile);
    std::wstring commandLine = veldro::toUtf16(std::string("\"") + VELDRO_CLI + "\" " + arguments);
    std::wstring block = environmentWith(environment);
    PROCESS_INFORMATION process{};
    const bool started =
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT, block.data(), nullptr, &startup, &process);
    for (HANDLE stream : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        CloseHandle(stream);
    if (!started) return -1;
    DWORD status = 0;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(status);
}

} // namespace veldro::test
