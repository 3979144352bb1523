#include "processing/graph_plots.h"

#include "data/measurement_store.h"
#include "data/quantities.h"
#include "data/rows.h"
#include "data/survey_view.h"
#include "processing/fraser_walk.h"
#include "processing/station_gaps.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace veldro {

namespace {

// Values of this size are failed computations: plotted, but no reason to show.
bool worthShowing(double value) {
    return std::fabs(value) < kFraserFailed;
}

void addRunCurve(GraphSink& graph, const FraserRun& run) {
    if (graph.curveCount() <= run.curve) graph.addCurve(run);
}

// The curves come as the walk meets the runs; the values wait for the gap
// marks, which need every value of a curve.
class FraserCollector : public FraserVisitor {
public:
    explicit FraserCollector(GraphSink& graph) : graph_(graph) {}
    void newRun(const FraserRun& run) override { addRunCurve(graph_, run); }
    void value(const FraserValue& v) override { values.push_back(v); }

    std::vector<FraserValue> values;

private:
    GraphSink& graph_;
};

} // namespace

bool plotFraser(const MeasurementStore& store, const RowList& rows, GraphSink& graph) {
    FraserCollector collector(graph);
    walkFraser(SurveyView(store, rows), collector);
    const std::vector<bool> marks = stationGapMarks(collector.values);
    bool show = false;
    for (std::size_t i = 0; i < collector.values.size(); ++i) {
        const FraserValue& v = collector.values[i];
        graph.markCurveUsed(v.curve);
        show = show || worthShowing(v.value);
        graph.addPoint(v.curve, v.x, v.value, marks[i]);
    }
    return show;
}

bool plotColumn(const MeasurementStore& store, const RowList& rows, int column, GraphSink& graph) {
    if (column < 0 || column >= kColumnCount || !quantity(column).plottable) return false;
    if (column == ColResistivity || column == ColEField || column == ColHField)
        graph.setLogarithmicValues();
    RunDetection runs;
    bool show = false;
    const int n = std::min(rows.size(), store.count());
    for (int i = 0; i < n; ++i) {
        const MeasurementRecord& r = store.record(i);
        if (runs.follow(r)) addRunCurve(graph, runs.current(r.frequencyNumber()));
        if (!hasValue(r, column) || !rows.kept(i)) continue;
        const int curve = runs.current(r.frequencyNumber()).curve;
        graph.markCurveUsed(curve);
        // Carried as a 32-bit float, as stored; an unreadable one is a failed value.
        float v = static_cast<float>(cellValue(r, column));
        if (!std::isfinite(v)) v = kFraserFailed;
        show = show || worthShowing(v);
        graph.addPoint(curve, store.stationAt(i), v, false);
    }
    return show;
}

std::string fileNamePart(std::string_view caption) {
    std::string part;
    for (char c : caption) {
        if (std::string_view("()[]{}").find(c) != std::string_view::npos) continue;
        if (c == ' ' || c == '/') {
            if (!part.empty() && part.back() != '_') part += '_';
            continue;
        }
        part += c;
    }
    while (!part.empty() && part.back() == '_') part.pop_back();
    return part;
}

} // namespace veldro
