#include "console.h"
#include "data/utf16_win32.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, whose types it takes.
#include <shellapi.h>

namespace veldro::cli {

namespace {

std::atomic<bool> interrupted{false};

BOOL WINAPI onControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT &&
        event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT)
        return FALSE;
    interrupted = true;
    // Closing the console ends the process once this returns: the transfer
    // has the few seconds Windows grants to stop and save what arrived.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) Sleep(INFINITE);
    return TRUE;
}

} // namespace

std::vector<std::string> commandLineWords(int, char**) {
    // Line ends as the program writes them: LF, as on Linux, not CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // The arguments as typed, not squeezed into the ANSI code page.
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; i < count; ++i) result.push_back(fromUtf16(words[i]));
    LocalFree(words);
    return result;
}

void catchInterrupt() {
    SetConsoleCtrlHandler(onControl, TRUE);
}

bool interruptRequested() {
    return interrupted;
}

bool standardInputIsTerminal() {
    return _isatty(_fileno(stdin)) != 0;
}

} // namespace veldro::cli
