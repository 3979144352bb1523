#include "test_support.h"

#include <cstdlib>
#include <sys/wait.h>

namespace veldro::test {

int runCliInto(const std::string& arguments, const std::string& environment,
               const std::string& outFile, const std::string& errFile) {
    const std::string command = "env " + environment + " " + VELDRO_CLI + " " + arguments + " >" +
                                outFile + " 2>" + errFile + " </dev/null";
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

} // namespace veldro::test
