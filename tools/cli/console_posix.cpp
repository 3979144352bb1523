#include "console.h"

#include <csignal>

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
void catchInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

bool interruptRequested() {
    return interrupted != 0;
}

} // namespace veldro::cli
