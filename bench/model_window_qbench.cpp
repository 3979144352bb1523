// The model window over the example model (41 stations, 2 frequencies, 4
// bodies), offscreen. Target: a body dragged with the mouse to the curves
// repainted for its new place <= 200 ms.
#include "interpretation/ui/model_window.h"
#include "window_bench_support.h"

#include <QEventLoop>
#include <QMouseEvent>
#include <QTest>

using namespace veldro;

namespace {

// Waits until the curves show the model as it stands.
void waitForCurves(ModelWindow& window) {
    QEventLoop loop;
    QObject::connect(&window, &ModelWindow::curvesShown, &loop, &QEventLoop::quit);
    loop.exec();
}

void BM_ModelCurvesRepaintedAfterADrag(benchmark::State& state) {
    bench::SilentUi ui;
    ModelWindow window(ui, nullptr, nullptr);
    window.show();
    waitForCurves(window);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    ModelView& view = window.view();
    QWidget* surface = view.viewport();
    double shift = 20;
    for (auto _ : state) {
        // The block at 800 to 900 m, back and forth by 20 m.
        const SectionBox box = boundingBox(window.model().bodies[3]);
        const double middle = (box.left + box.right) / 2, depth = (box.top + box.bottom) / 2;
        QTest::mousePress(surface, Qt::LeftButton, {}, view.viewPoint({middle, depth}).toPoint());
        QTest::mouseMove(surface, view.viewPoint({middle + shift, depth}).toPoint());
        QTest::mouseRelease(surface, Qt::LeftButton, {},
                            view.viewPoint({middle + shift, depth}).toPoint());
        waitForCurves(window);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        surface->repaint();
        shift = -shift;
    }
}
BENCHMARK(BM_ModelCurvesRepaintedAfterADrag)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv);
}
