#include "data/rows.h"

#include "data/measurement_store.h"
#include "data/number_text.h"
#include "data/progress.h"

#include <algorithm>

namespace veldro {

const std::array<ColumnInfo, kColumnCount> kColumns{{
    {"Profile", 45, false},         {"Station", 45, false},      {"Meas.Mode", 69, false},
    {"Freq(Hz)", 56, false},        {"Q (%)", 66, true},         {"Tilt.ver(%)", 90, true},
    {"Ellip.ver(%)", 95, true},     {"Rho (ohm.m)", 101, true},  {"Ph.E/H (\u00B0)", 90, true},
    {"E (\u00B5V/m)", 83, true},    {"H (\u00B5A/m)", 84, true}, {"H hor(\u00B5A/m)", 102, true},
    {"Tilt.hor(\u00B0)", 86, true}, {"Ellip.hor(%)", 95, true},  {"Ch1 Gain", 57, false},
    {"Ch1 Ovld", 57, false},        {"Ch2 Gain", 57, false},     {"Ch2 Ovld", 57, false},
    {"Ch3 Gain", 57, false},        {"Ch3 Ovld", 57, false},     {"Freq. #", 47, false},
}};

namespace {

bool tiltOnly(int column) {
    return column == ColTiltVertical || column == ColEllipticityVertical ||
           column == ColHHorizontal || column == ColTiltHorizontal ||
           column == ColEllipticityHorizontal;
}

bool resistivityOnly(int column) {
    return column == ColResistivity || column == ColPhase || column == ColEField ||
           column == ColHField;
}

// Display decimals of the float columns; every other numeric column shows "0".
int decimalsOf(int column) {
    switch (column) {
    case ColResistivity:
        return 4;
    case ColEField:
    case ColHField:
    case ColHHorizontal:
        return 2;
    default:
        return 0;
    }
}

} // namespace

bool hasValue(const MeasurementRecord& r, int column) {
    if (tiltOnly(column)) return r.tiltMode();
    if (resistivityOnly(column)) return r.resistivityMode();
    return true;
}

double cellValue(const MeasurementRecord& r, int column) {
    switch (column) {
    case ColProfile:
        return r.profile;
    case ColStation:
        return r.station;
    case ColMode:
        return r.resistivityMode() ? 1 : 0;
    case ColFrequency:
        return r.frequency;
    case ColQuality:
        return r.quality;
    case ColTiltVertical:
        return r.tiltVertical;
    case ColEllipticityVertical:
        return r.ellipticityVertical;
    case ColResistivity:
        return r.resistivity;
    case ColPhase:
        return r.phase;
    case ColEField:
        return r.eField;
    case ColHField:
        return r.hField;
    case ColHHorizontal:
        return r.hHorizontal;
    case ColTiltHorizontal:
        return r.tiltHorizontal;
    case ColEllipticityHorizontal:
        return r.ellipticityHorizontal;
    case ColCh1Gain:
        return r.gain(1);
    case ColCh1Overload:
        return r.overload(1) ? 1 : 0;
    case ColCh2Gain:
        return r.gain(2);
    case ColCh2Overload:
        return r.overload(2) ? 1 : 0;
    case ColCh3Gain:
        return r.gain(3);
    case ColCh3Overload:
        return r.overload(3) ? 1 : 0;
    case ColFrequencyNumber:
        return r.frequencyNumber();
    default:
        return 0;
    }
}

void appendCellText(std::string& out, const MeasurementRecord& r, int column) {
    if (!hasValue(r, column)) return;
    if (column == ColMode) {
        out += r.resistivityMode() ? "Resistivity" : "Tilt";
        return;
    }
    const int decimals = decimalsOf(column);
    if (decimals == 0)
        appendInteger(out, static_cast<long long>(cellValue(r, column)));
    else
        appendPattern(out, cellValue(r, column), decimals);
}

std::string cellText(const MeasurementRecord& record, int column) {
    std::string out;
    appendCellText(out, record, column);
    return out;
}

int RowList::keptCount() const {
    return static_cast<int>(
        std::count_if(entries.begin(), entries.end(), [](const RowEntry& e) { return e.kept; }));
}

RowList buildRowList(const MeasurementStore& store, Progress* progress, const RebuildPump& pump) {
    RowList rows;
    const int n = store.count();
    rows.entries.reserve(static_cast<std::size_t>(n));
    if (progress) progress->setMaximum(n);
    const int pumpEvery = (n + 50) / 50;
    for (int i = 0; i < n; ++i) {
        rows.entries.push_back({store.record(i).kept(), std::to_string(i + 1)});
        if (i % pumpEvery == 0) {
            if (progress) progress->setPosition(i);
            if (pump && !pump(i)) break;
        }
    }
    return rows;
}

std::string rowCountStatus(int kept, int rows) {
    return "Data :" + std::to_string(kept) + " / " + std::to_string(rows);
}

void copyRowFlagsToStore(const RowList& rows, MeasurementStore& store) {
    const int n = std::min(rows.size(), store.count());
    for (int i = 0; i < n; ++i) store.setKept(i, rows.kept(i));
}

} // namespace veldro
