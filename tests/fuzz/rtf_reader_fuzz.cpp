// The report viewer's RTF reader on any bytes, and the writer after it: what
// the reader makes of a file, written and read again, is the same styled text.
#include "export/rtf.h"
#include "fuzz_support.h"

using namespace veldro;
using veldro::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = veldro::fuzz::textOf(data, size);
    isRtf(bytes);
    const StyledText runs = readRtf(bytes);
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const StyledText::Run run = runs.run(r);
        require(!run.text.empty(), "no run is empty");
        require(run.style.halfPoints >= 1 && run.style.halfPoints <= kMaxHalfPoints,
                "sizes stay within the bounds");
        require(run.style.font.text().size() < kMaxFontNameBytes + 4, "font names are cut");
    }
    const std::string written = writeRtf(runs);
    require(isRtf(written), "the writer writes RTF");
    require(readRtf(written) == runs, "written runs read back the same");
    return 0;
}
