#include "console.h"

#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace veldro::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) {
    interrupted = 1;
}

} // namespace

std::vector<std::string> commandLineWords(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

// Without SA_RESTART, so that a prompt waiting for a line gives up at once.
// A closed terminal (SIGHUP) ends a transfer as Ctrl-C does: what arrived is saved.
void catchInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool interruptRequested() {
    return interrupted != 0;
}

bool standardInputIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

} // namespace veldro::cli
