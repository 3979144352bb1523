// The model's picture over a hill: drawn in elevation, and the mouse reads
// back the depths the bodies are kept in; an inverted grid in the
// inversion's colours.
#include "charts/field_chart.h"
#include "interpretation/ui/model_charts.h"
#include "interpretation/ui/model_view.h"

#include <QImage>
#include <QTest>
#include <QValueAxis>

using namespace veldro;

class ModelViewTest : public QObject {
    Q_OBJECT

private slots:
    void aHillIsDrawnInElevationAndPointsReadBackAsDepths() {
        const GroundModel model = parseGroundModel(R"({"layers": [{"resistivity": 1000}],
            "bodies": [{"polygon": [[180, 30], [220, 30], [220, 60], [180, 60]], "resistivity": 10}],
            "topography": [[100, 300], [200, 340], [300, 300]],
            "stations": {"from": 0, "to": 400, "step": 20}, "frequencies": [19800]})");
        ModelView view;
        view.resize(800, 900);
        view.show();
        view.showModel(model, 0);
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.section().axisY().titleText(), QStringLiteral("Elevation (m)"));
        QVERIFY(view.section().axisY().max() >= 340);
        const QPointF top = view.viewPoint({200, 30}), bottom = view.viewPoint({200, 60});
        QVERIFY2(top.y() < bottom.y(), "deeper lies lower on the screen");
        const SectionPoint back = view.sectionPoint(bottom);
        QVERIFY2(std::abs(back.x - 200) < 1 && std::abs(back.z - 60) < 1,
                 qPrintable(QStringLiteral("%1, %2").arg(back.x).arg(back.z)));
    }

    // Each cell in the colour the inversion's picture gives its ohm.m, ends
    // from the cells the data see (or fixed), a cell they do not see faded,
    // and a body over the grid in the colour of its own resistivity.
    void anInvertedGridIsDrawnInTheInversionsColours() {
        const GroundModel model = parseGroundModel(R"({"layers": [{"resistivity": 300}],
            "bodies": [{"grid": {"x": [-100, 500, 1100], "z": [0, 100, 200],
                "resistivity": [[10, 1000], [100, 5]], "sensitivity": [[1, 1], [1, 0]]}},
                {"polygon": [[600, 20], [700, 20], [700, 60], [600, 60]], "resistivity": 10}],
            "stations": {"from": 0, "to": 1000, "step": 25}, "frequencies": [19800]})");
        ModelView view;
        view.resize(800, 900);
        view.show();
        view.showModel(model, -1);
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const auto colourAt = [&view](SectionPoint point) {
            return view.grab().toImage().pixel(view.viewPoint(point).toPoint());
        };
        // 10 to 1000 ohm.m: the faded 5 ohm.m cell does not widen the ends.
        const ResistivityScale own = ResistivityScale::covering(1, 3);
        QCOMPARE(colourAt({250, 50}), own.colour(1));
        QCOMPARE(colourAt({800, 50}), own.colour(3));
        QCOMPARE(colourAt({250, 150}), own.colour(2));
        QCOMPARE(colourAt({650, 40}), own.colour(1)); // the body over the 1000 ohm.m cell
        const QRgb faded = colourAt({800, 150});
        QVERIFY(faded != own.colour(std::log10(5.0)));
        QCOMPARE(faded, view.gridSection().cellColour(3));
        view.setGridColourEnds(std::pair{1.0, 10000.0});
        QCOMPARE(colourAt({250, 50}), ResistivityScale::covering(0, 4).colour(1));
    }
};

QTEST_MAIN(ModelViewTest)
#include "model_view_qtest.moc"
