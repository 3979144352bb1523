// Opening the XYZ export dialog on the largest survey, offscreen: from the
// command to its profile list built and the first rows painted.
// Target: within 100 ms.
#include "app/main_window.h"
#include "app/measurement_table_view.h"
#include "data/rows.h"
#include "export/ui/export_xyz_dialog.h"
#include "window_bench_support.h"

#include <QAction>

using namespace veldro;

namespace {

// The export dialog is shown, painted once and closed.
class PaintingUi : public bench::SilentUi {
public:
    int runDialog(QDialog& dialog) override {
        dialog.show();
        auto& exportDialog = dynamic_cast<TExportXYZFrm&>(dialog);
        exportDialog.TabProfilesCLstView->viewport()->repaint();
        items = static_cast<int>(exportDialog.items().size());
        dialog.hide();
        return QDialog::Rejected;
    }

    int items = 0;
};

// The largest survey open in the window.
struct Fixture {
    PaintingUi ui;
    bench::SurveyWindow survey{ui};
    QAction* command = survey.window->findChild<QAction*>(QStringLiteral("IXVLF1"));

    Fixture() { survey.window->findChild<QAction*>(QStringLiteral("Ouvrir1"))->trigger(); }
};

// Made on first use, gone before the application.
std::unique_ptr<Fixture> made;

void BM_OpenExportDialogOnLargestSurvey(benchmark::State& state) {
    if (!made) made = std::make_unique<Fixture>();
    Fixture& f = *made;
    for (auto _ : state) f.command->trigger();
    if (f.survey.window->rowList().size() != MeasurementStore::kCapacity || f.ui.items == 0)
        state.SkipWithError("the survey did not open whole");
    state.counters["profile_items"] = f.ui.items;
}
BENCHMARK(BM_OpenExportDialogOnLargestSurvey)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv, [] { made.reset(); });
}
