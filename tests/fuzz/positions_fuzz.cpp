// A positions file: either read, and then what is written of it reads back
// the same, or refused, with every problem on a line the text has.
#include "data/positions_file.h"
#include "fuzz_support.h"

#include <algorithm>

using namespace veldro;
using veldro::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = veldro::fuzz::textOf(data, size);
    try {
        const StationPositions positions = readPositions(text, "p.csv");
        require(readPositions(positionsFileText(positions), "p.csv").all() == positions.all(),
                "what is read writes back the same");
    } catch (const PositionsFileError& e) {
        require(!e.problems().empty(), "a refused file says why");
        const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n') +
                                                    std::count(text.begin(), text.end(), '\r') + 1);
        for (const std::string& problem : e.problems()) {
            require(problem.starts_with("line "), "each problem names its line");
            require(std::stoul(problem.substr(5)) <= lines, "the line is one the text has");
        }
    }
    return 0;
}
