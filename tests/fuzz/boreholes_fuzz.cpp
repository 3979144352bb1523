// A borehole file: either read, every hole with intervals going down and a
// resistivity above 0 or a label, or refused naming a line the text has.
#include "fuzz_support.h"
#include "interpretation/inversion_prior.h"

#include <algorithm>

using namespace veldro;
using veldro::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = veldro::fuzz::textOf(data, size);
    try {
        for (const Borehole& hole : parseBoreholes(std::string(text)))
            for (const BoreholeInterval& interval : hole.intervals) {
                require(interval.from >= 0 && interval.to > interval.from,
                        "an interval goes down from the surface");
                require(interval.resistivity > 0 || !interval.label.empty(),
                        "an interval holds a resistivity or a label");
            }
    } catch (const BoreholeError& e) {
        const std::string what = e.what();
        require(what.starts_with("line "), "a refusal names its line");
        const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n') + 1);
        require(std::stoul(what.substr(5)) <= lines, "the line is one the text has");
    }
    return 0;
}
