// "2D inversion...": points kept out of the next run from the result window,
// by a click on the curves or by how far the section misses them.
#include "interpretation/ui/fit_chart.h"
#include "interpretation/ui/inversion_picture.h"
#include "interpretation/ui/inversion_runner.h"
#include "inversion_runs.h"

#include <QDoubleSpinBox>
#include <QGraphicsView>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>
#include <cmath>

using namespace veldro;
using namespace veldro::test;

namespace {

// The shown picture's charts laid out: each has a plot area.
void waitForLayout(InversionWindow& window) {
    for (const FitChart* chart : window.picture()->fitCharts())
        QTRY_VERIFY(!chart->plotArea().isEmpty());
}

// Where an observed point of a chart of the shown picture lies on the view.
QPoint onView(InversionWindow& window, std::size_t chart, std::size_t curve, std::size_t point) {
    FitChart& fit = *window.picture()->fitCharts()[chart];
    const QPointF value = fit.curves()[curve].observed[point];
    return part<QGraphicsView>(window, "Picture")
        ->mapFromScene(fit.mapToScene(fit.mapToPosition(value)));
}

QString tipAt(InversionWindow& window, QPoint at) {
    QWidget* viewport = part<QGraphicsView>(window, "Picture")->viewport();
    QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// Per datum of the next run's first profile: kept out of its fit.
std::vector<bool> keptOut(InversionWindow& window) {
    part<QPushButton>(window, "InvertAgain")->click();
    std::vector<bool> out;
    for (const Datum& d : window.findChild<InversionRunner*>()->profiles().front().data)
        out.push_back(d.excluded);
    waitForTheEnd(window);
    return out;
}

} // namespace

class InversionExclusionsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> s;

    void runProfileOne(const std::function<void(InversionWindow&)>& act) {
        openSurvey(*s, sheetSurvey());
        runInversion(
            *s, [](QDialog& dialog) { setChoices(dialog, false, 0, 2, 1000, 1); },
            [&](InversionWindow& window) {
                waitForTheEnd(window);
                waitForLayout(window);
                act(window);
            });
    }

private slots:
    void init() { s = std::make_unique<Session>(); }
    void cleanup() { s.reset(); }

    // A click on an observed point keeps it out (hollow at once), a second
    // fits it again; a click on a station's misfit does so for all its data.
    // "Invert again" inverts without them, and the tooltip says what a click
    // there does.
    void aClickedPointIsKeptOutOfTheNextRun() {
        runProfileOne([](InversionWindow& window) {
            QWidget* viewport = part<QGraphicsView>(window, "Picture")->viewport();
            // The curve drawn last, on top of any other at its dots.
            const QPoint ellip50 = onView(window, 0, 3, 2); // Ellip.ver at 23400 Hz, station 50
            QTRY_COMPARE(
                tipAt(window, ellip50),
                QStringLiteral("Ellip.ver(%) 23400 Hz at station 50.0: click to keep it out "
                               "of the fit"));
            QTest::mouseClick(viewport, Qt::LeftButton, {}, ellip50);
            QCOMPARE(part<QLabel>(window, "Note")->text(),
                     QStringLiteral("Ellip.ver(%) 23400 Hz at station 50.0 kept out: \"Invert "
                                    "again\" (F5) inverts without it"));
            waitForLayout(window); // the picture drawn anew
            const FitCurve& ellip = window.picture()->fitCharts()[0]->curves()[3];
            QCOMPARE(ellip.excluded, (std::vector<bool>{false, false, true, false, false}));
            QTRY_COMPARE(
                tipAt(window, ellip50),
                QStringLiteral("Ellip.ver(%) 23400 Hz at station 50.0, kept out of the fit: "
                               "click to fit it again"));

            const QPoint misfit25 = onView(window, 1, 0, 1); // the misfit chart, station 25
            QTest::mouseClick(viewport, Qt::LeftButton, {}, misfit25);
            const ProfileData& run = window.findChild<InversionRunner*>()->profiles().front();
            std::vector<bool> expected;
            for (const Datum& d : run.data)
                expected.push_back(d.station == 1 || (d.station == 2 && d.frequency == 1 &&
                                                      d.quantity == FittedQuantity::Ellipticity));
            QCOMPARE(keptOut(window), expected);
            // Still hollow over the new run's fit; a click fits the station again.
            waitForLayout(window);
            QTest::mouseClick(viewport, Qt::LeftButton, {}, onView(window, 1, 0, 1));
            QCOMPARE(window.picture()->fitCharts()[1]->curves()[0].excluded,
                     (std::vector<bool>{false, false, false, false, false}));
        });
    }

    // The limit keeps out exactly the points missed by more than that many
    // errors, in every profile; "Fit every point" lets them all in again.
    void pointsMissedByMoreThanTheLimitAreKeptOut() {
        runProfileOne([](InversionWindow& window) {
            const ProfileData& run = window.findChild<InversionRunner*>()->profiles().front();
            const std::vector<double>& computed = window.inversions().front().fit.computed;
            std::vector<double> misses;
            for (std::size_t i = 0; i < run.data.size(); ++i)
                misses.push_back(std::fabs(run.data[i].value - computed[i]) / run.data[i].error);
            // A limit just under the middle miss, so that some are over it and some not.
            std::vector<double> sorted = misses;
            std::ranges::sort(sorted);
            const double limit = std::max(1.0, std::floor(sorted[sorted.size() / 2] * 10) / 10);
            std::vector<bool> expected;
            for (double miss : misses) expected.push_back(miss > limit);
            QVERIFY(std::ranges::count(expected, true) > 0);
            QVERIFY(std::ranges::count(expected, false) > 0);

            part<QDoubleSpinBox>(window, "MissLimit")->setValue(limit);
            part<QPushButton>(window, "ExcludeMisses")->click();
            QCOMPARE(part<QLabel>(window, "Note")->text(),
                     QStringLiteral("%1 point(s) missed by more than %2 errors kept out: "
                                    "\"Invert again\" (F5) inverts without them")
                         .arg(std::ranges::count(expected, true))
                         .arg(limit, 0, 'f', 1));
            part<QPushButton>(window, "FitAll")->click();
            for (const FitChart* chart : window.picture()->fitCharts())
                for (const FitCurve& curve : chart->curves())
                    QVERIFY(std::ranges::none_of(curve.excluded, [](bool out) { return out; }));
            part<QPushButton>(window, "ExcludeMisses")->click();
            QCOMPARE(keptOut(window), expected);
        });
    }
};

QTEST_MAIN(InversionExclusionsTest)
#include "inversion_exclusions_qtest.moc"
