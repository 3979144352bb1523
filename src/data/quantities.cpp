#include "data/quantities.h"

#include "data/number_text.h"

namespace veldro {

namespace {

using R = const MeasurementRecord&;
using M = QuantityMode;
using P = CellPattern;

} // namespace

const std::array<Quantity, kColumnCount> kQuantities{{
    {"Profile", [](R r) -> double { return r.profile; }, M::Both, P::Whole, 45, false},
    {"Station", [](R r) -> double { return r.station; }, M::Both, P::Whole, 45, false},
    {"Meas.Mode", [](R r) -> double { return r.resistivityMode() ? 1 : 0; }, M::Both, P::ModeName,
     69, false},
    {"Freq(Hz)", [](R r) -> double { return r.frequency; }, M::Both, P::Whole, 56, false},
    {"Q (%)", [](R r) -> double { return r.quality; }, M::Both, P::Whole, 66, true},
    {"Tilt.ver(%)", [](R r) -> double { return r.tiltVertical; }, M::Tilt, P::Whole, 90, true},
    {"Ellip.ver(%)", [](R r) -> double { return r.ellipticityVertical; }, M::Tilt, P::Whole, 95,
     true},
    {"Rho (ohm.m)", [](R r) -> double { return r.resistivity; }, M::Resistivity, P::FourDecimals,
     101, true},
    {"Ph.E/H (\u00B0)", [](R r) -> double { return r.phase; }, M::Resistivity, P::Whole, 90, true},
    {"E (\u00B5V/m)", [](R r) -> double { return r.eField; }, M::Resistivity, P::TwoDecimals, 83,
     true},
    {"H (\u00B5A/m)", [](R r) -> double { return r.hField; }, M::Resistivity, P::TwoDecimals, 84,
     true},
    {"H hor(\u00B5A/m)", [](R r) -> double { return r.hHorizontal; }, M::Tilt, P::TwoDecimals, 102,
     true},
    {"Tilt.hor(\u00B0)", [](R r) -> double { return r.tiltHorizontal; }, M::Tilt, P::Whole, 86,
     true},
    {"Ellip.hor(%)", [](R r) -> double { return r.ellipticityHorizontal; }, M::Tilt, P::Whole, 95,
     true},
    {"Ch1 Gain", [](R r) -> double { return r.gain(1); }, M::Both, P::Whole, 57, false},
    {"Ch1 Ovld", [](R r) -> double { return r.overload(1) ? 1 : 0; }, M::Both, P::Whole, 57, false},
    {"Ch2 Gain", [](R r) -> double { return r.gain(2); }, M::Both, P::Whole, 57, false},
    {"Ch2 Ovld", [](R r) -> double { return r.overload(2) ? 1 : 0; }, M::Both, P::Whole, 57, false},
    {"Ch3 Gain", [](R r) -> double { return r.gain(3); }, M::Both, P::Whole, 57, false},
    {"Ch3 Ovld", [](R r) -> double { return r.overload(3) ? 1 : 0; }, M::Both, P::Whole, 57, false},
    {"Freq. #", [](R r) -> double { return r.frequencyNumber(); }, M::Both, P::Whole, 47, false},
}};

bool hasValue(const MeasurementRecord& r, int column) {
    switch (quantity(column).mode) {
    case QuantityMode::Tilt:
        return r.tiltMode();
    case QuantityMode::Resistivity:
        return r.resistivityMode();
    case QuantityMode::Both:
        break;
    }
    return true;
}

void appendCellText(std::string& out, const MeasurementRecord& r, int column) {
    if (!hasValue(r, column)) return;
    const Quantity& q = quantity(column);
    switch (q.pattern) {
    case CellPattern::ModeName:
        out += r.resistivityMode() ? "Resistivity" : "Tilt";
        break;
    case CellPattern::Whole:
        appendInteger(out, static_cast<long long>(q.value(r)));
        break;
    case CellPattern::TwoDecimals:
        appendPattern(out, q.value(r), 2);
        break;
    case CellPattern::FourDecimals:
        appendPattern(out, q.value(r), 4);
        break;
    }
}

std::string cellText(const MeasurementRecord& record, int column) {
    std::string out;
    appendCellText(out, record, column);
    return out;
}

} // namespace veldro
