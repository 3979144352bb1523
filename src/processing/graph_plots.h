#pragma once

#include <string>
#include <string_view>

namespace veldro {

class MeasurementStore;
struct FraserRun;
struct RowList;

// What the Fraser view and the column plot fill: the graph window, or the
// chart `veldro-cli plot` draws. Curves are numbered in the order they come.
class GraphSink {
public:
    virtual ~GraphSink() = default;
    virtual int curveCount() const = 0;
    // A new curve, of the run's title, profile and frequency number; its
    // list entry starts disabled and unchecked.
    virtual void addCurve(const FraserRun& run) = 0;
    // The curve receives points: its entry is enabled and checked.
    virtual void markCurveUsed(int curve) = 0;
    // `marked`: a Fraser value over unevenly spaced stations.
    virtual void addPoint(int curve, double x, double y, bool marked) = 0;
    // The values span decades (a resistivity, a field strength): they are
    // shown on a logarithmic axis. Nothing to do for a sink that shows none.
    virtual void setLogarithmicValues() {}
};

// The Fraser curves, one per run and frequency number, with the station gap
// marks; true when some value has |F| < 99999, the only reason to show them.
bool plotFraser(const MeasurementStore& store, const RowList& rows, GraphSink& graph);

// One quantity column against station: the kept rows of the column's mode, a
// curve per run of the Fraser walk's run detection, every row taking part in
// it. True when some value has |v| < 99999; a column without the chart mark
// adds nothing. Rho, E and H go on a logarithmic axis.
bool plotColumn(const MeasurementStore& store, const RowList& rows, int column, GraphSink& graph);

inline constexpr std::string_view kFraserAxisTitle = "Fraser";
inline constexpr std::string_view kFraserImageName = "fraser";

// A caption made safe to end a file name: brackets dropped, spaces and "/"
// become "_" ("Q (%)" gives "Q_%").
std::string fileNamePart(std::string_view caption);

} // namespace veldro
