// Opening the XYZ export dialog on the largest survey, offscreen: from the
// command to its profile list built and the first rows painted.
// Target: within 100 ms.
#include "app/main_window.h"
#include "data/rows.h"
#include "export/ui/export_xyz_dialog.h"
#include "widgets/measurement_table_view.h"
#include "window_bench_support.h"

#include <QAction>

using namespace veldro;

namespace {

int items = 0;

// The export dialog painted once, its profile items counted.
void paintExportDialog(QDialog& dialog) {
    auto& exportDialog = dynamic_cast<TExportXYZFrm&>(dialog);
    exportDialog.TabProfilesCLstView->viewport()->repaint();
    items = static_cast<int>(exportDialog.items().size());
}

void BM_OpenExportDialogOnLargestSurvey(benchmark::State& state) {
    bench::OpenSurvey& f = bench::openSurvey(paintExportDialog);
    QAction* command = f.action("IXVLF1");
    for (auto _ : state) command->trigger();
    if (f.window().rowList().size() != MeasurementStore::kCapacity || items == 0)
        state.SkipWithError("the survey did not open whole");
    state.counters["profile_items"] = items;
}
BENCHMARK(BM_OpenExportDialogOnLargestSurvey)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv);
}
