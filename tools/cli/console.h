#pragma once

#include <string>
#include <vector>

namespace veldro::cli {

// The words after the program's name, in UTF-8. Also sets the standard streams
// up so that the program writes the same bytes on every system.
std::vector<std::string> commandLineWords(int argc, char** argv);

// From now on Ctrl-C sets interruptRequested() instead of ending the program,
// and breaks off a prompt that waits for a line.
void catchInterrupt();
bool interruptRequested();

} // namespace veldro::cli
