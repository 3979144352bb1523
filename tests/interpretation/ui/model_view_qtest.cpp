// The model's picture over a hill: drawn in elevation, and the mouse reads
// back the depths the bodies are kept in; an inverted grid in the
// inversion's colours; observed data as dots with error bars.
#include "charts/field_chart.h"
#include "interpretation/ui/fit_chart.h"
#include "interpretation/ui/model_charts.h"
#include "interpretation/ui/model_view.h"

#include <QImage>
#include <QTest>
#include <QValueAxis>

using namespace veldro;

namespace {

// Some pixel within one of `at` is drawn in `colour`, or in its hue where a
// smoothed line shares the pixel with the white around it.
bool drawnNear(const QImage& image, QPointF at, QColor colour) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            const QColor pixel = image.pixelColor(at.toPoint() + QPoint(dx, dy));
            if (pixel.hsvSaturation() > 50 && std::abs(pixel.hsvHue() - colour.hsvHue()) < 12)
                return true;
        }
    return false;
}

} // namespace

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
        // The boreholes the inversion window hands over, on the section: a
        // 10 ohm.m interval in the 1000 ohm.m cell.
        view.setGridColourEnds(std::nullopt);
        QCOMPARE(colourAt({900, 50}), own.colour(3));
        view.setBoreholes({{"BH1", 1, 900, {{20, 80, 10, "clay"}}}});
        QCOMPARE(colourAt({900, 50}), own.colour(1));
    }

    // As the inversion's picture draws its fit: an observed value is a dot
    // with its error bar, nothing joins the dots, the computed curve is a line.
    void observedDataAreDotsWithErrorBars() {
        const GroundModel model = parseGroundModel(R"({"layers": [{"resistivity": 1000}],
            "stations": [0, 500, 1000], "frequencies": [19800]})");
        std::vector<StationResponse> responses;
        for (double station : model.stations) responses.push_back({station, 19800, {-0.02, 0}, {}});
        ProfileData observed;
        observed.stations = model.stations;
        observed.frequencies = {19800};
        // The first above the others, so that the middle one's bar lies inside the axes.
        for (std::size_t s = 0; s < 3; ++s)
            observed.data.push_back({s, 0, FittedQuantity::Tilt, s == 0 ? 16.0 : 10.0, 4, false});
        ModelView view;
        view.resize(800, 900);
        view.show();
        view.showModel(model, -1);
        view.showCurves(model, responses, observed);
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        FitChart& chart = view.curves();
        const auto at = [&](double station, double value) {
            return view.mapFromScene(chart.mapToScene(chart.mapToPosition({station, value})));
        };
        const QImage image = view.grab().toImage();
        const QColor tilt = fitCurveOf(FittedQuantity::Tilt, 19800, false).colour;
        QVERIFY(drawnNear(image, at(500, 10), tilt)); // the dot
        const double computed = responseCurves(model, responses).front().points.front().second;
        QVERIFY(computed > 0.5 && computed < 5);
        QVERIFY(drawnNear(image, at(250, computed), tilt)); // the computed line
        QVERIFY(!drawnNear(image, at(750, 10), tilt));      // no line between the dots
        for (double end : {6, 14}) // the bar's two ends, each a short crossbar
            for (int side : {-2, 2})
                QVERIFY(drawnNear(image, at(500, end) + QPointF(side, 0), tilt));
        QVERIFY(!drawnNear(image, at(500, 16), tilt)); // past the bar
    }
};

QTEST_MAIN(ModelViewTest)
#include "model_view_qtest.moc"
