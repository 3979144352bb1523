// The model's picture over a hill: drawn in elevation, and the mouse reads
// back the depths the bodies are kept in.
#include "charts/field_chart.h"
#include "interpretation/ui/model_view.h"

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
};

QTEST_MAIN(ModelViewTest)
#include "model_view_qtest.moc"
