#include "interpretation/response_table.h"

#include <charconv>
#include <cmath>

namespace veldro {

namespace {

// Locale-free, whatever the program's locale: the file is read by other programs.
void append(std::string& out, double value, bool fourDecimals) {
    char text[64];
    // A value that rounds to zero is written as zero, never "-0.0000".
    if (fourDecimals && std::fabs(value) < 0.00005) value = 0;
    const auto result =
        fourDecimals ? std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4)
                     : std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

} // namespace

std::string responseTable(const std::vector<StationResponse>& responses) {
    std::string out = "Station\tFreq(Hz)\tTilt.ver(%)\tEllip.ver(%)\tRho (ohm.m)\tPh.E/H (°)\t"
                      "Re(Hz/Hx)\tIm(Hz/Hx)\n";
    for (const StationResponse& r : responses) {
        append(out, r.station, false);
        out += '\t';
        append(out, r.frequency, false);
        for (double value :
             {tiltPercent(r.tipper), ellipticityPercent(r.tipper), apparentResistivity(r),
              phaseDegrees(r), r.tipper.real(), r.tipper.imag()}) {
            out += '\t';
            append(out, value, true);
        }
        out += '\n';
    }
    return out;
}

} // namespace veldro
