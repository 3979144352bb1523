#pragma once

#include <string>
#include <vector>

namespace veldro::cli {

// The words after the program's name, in UTF-8. Also sets the standard streams
// up so that the program writes the same bytes on every system.
std::vector<std::string> commandLineWords(int argc, char** argv);

// From now on Ctrl-C, and every other request to end the program that can be
// caught (SIGTERM, SIGHUP when the terminal closes; closing the console window
// on Windows), sets interruptRequested() instead of ending it, and breaks off
// a prompt that waits for a line.
void catchInterrupt();
bool interruptRequested();

// Whether a user at a terminal (a console) can answer a prompt.
bool standardInputIsTerminal();

} // namespace veldro::cli
