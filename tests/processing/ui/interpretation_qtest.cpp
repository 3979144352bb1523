// "Karous-Hjelt section" and "Fraser map": what they show, the lists and
// boxes at their left, the colour scale, and their pictures.
#include "../../app/app_test_support.h"
#include "charts/colour_scale.h"
#include "charts/field_chart.h"
#include "charts/plan_map_chart.h"
#include "data/number_text.h"
#include "maps/colour_ends.h"
#include "maps/minimum_curvature.h"
#include "processing/ui/fraser_map_window.h"
#include "processing/ui/karous_hjelt_window.h"
#include "processing/ui/plan_map_window.h"

#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <cmath>
#include <filesystem>

using namespace veldro;
using namespace veldro::test;

namespace {

struct Entry {
    QString title;
    bool enabled;
    bool operator==(const Entry&) const = default;
};

QList<Entry> entries(const QDialog& window, const char* list) {
    QList<Entry> all;
    const auto* box = part<QListWidget>(window, list);
    for (int i = 0; i < box->count(); ++i)
        all.append({box->item(i)->text(), (box->item(i)->flags() & Qt::ItemIsEnabled) != 0});
    return all;
}

// A profile of kept tilt readings at frequency #1, stations 10 apart.
std::vector<MeasurementRecord> tilts(int profile, const std::vector<int>& values) {
    std::vector<MeasurementRecord> records;
    for (std::size_t s = 0; s < values.size(); ++s)
        records.push_back(record({.profile = profile,
                                  .station = 10 * static_cast<int>(s),
                                  .tilt = values[s],
                                  .frequency = 19800}));
    return records;
}

bool same(double a, double b) {
    return std::fabs(a - b) < 1e-9;
}

// The same nodes, blank where the other is blank.
bool sameGrid(const PlanGrid& a, const PlanGrid& b) {
    if (!(a.geometry == b.geometry) || a.values.size() != b.values.size()) return false;
    for (std::size_t i = 0; i < a.values.size(); ++i)
        if (a.values[i] != b.values[i] && !(std::isnan(a.values[i]) && std::isnan(b.values[i])))
            return false;
    return true;
}

} // namespace

class InterpretationTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> s;

    void open(const std::vector<MeasurementRecord>& records) { openSurvey(*s, records); }

    // Triggers the item; `act` runs on the window when it is shown.
    template <class Frame>
    bool runWindow(const char* item, const std::function<void(Frame&)>& act) {
        bool shown = false;
        s->ui.dialogAnswers.push_back([&](QDialog& dialog) {
            auto* frame = qobject_cast<Frame*>(&dialog);
            QVERIFY(frame);
            shown = true;
            act(*frame);
        });
        action(s->window, item)->trigger();
        s->ui.dialogAnswers.clear();
        return shown;
    }

private slots:
    void init() { s = std::make_unique<Session>(); }
    void cleanup() { s.reset(); }

    // Profile 1 has five groups (no value); profile 2 eleven, tilt 100 at
    // station 50: level 1 at 25 reads -0.102 * 100, level 2 reads 0.
    void sectionShowsTheFirstRunWithValuesAndFollowsTheLevels() {
        open(joined(tilts(1, {1, 2, 3, 4, 5}), tilts(2, {0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0})));
        QVERIFY(runWindow<KarousHjeltWindow>("KarousHjeltSection", [](KarousHjeltWindow& section) {
            QCOMPARE(section.windowTitle(), QStringLiteral("Karous-Hjelt section"));
            QCOMPARE(entries(section, "RunList"),
                     (QList<Entry>{{"Prof1,Freq1", false}, {"Prof2,Freq1", true}}));
            QCOMPARE(section.shownRun(), 1);
            FieldChart& chart = section.chart();
            QCOMPARE(chart.leftAxisTitle(), QStringLiteral("Depth (m)"));
            QVERIFY(same(chart.field().valueAt(25, 10), -0.102 * 100));
            QVERIFY(same(chart.field().valueAt(50, 20), 0));

            // The pointer over the value at station 25, depth 10, on the depth axis drawn
            // downwards.
            auto* view = part<QChartView>(section, "Chart1");
            const QPoint at =
                view->mapFromScene(chart.mapToScene(chart.mapToPosition(QPointF(25, 10))));
            QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &move);
            const QString pointed = part<QLabel>(section, "Pointed")->text();
            QVERIFY2(pointed.contains(QStringLiteral("Depth 10.0    KH -10.")),
                     qPrintable(pointed)); // within a pixel of -10.20
            QVERIFY(chart.mapToPosition(QPointF(25, 10)).y() <
                    chart.mapToPosition(QPointF(25, 20)).y());

            part<QSpinBox>(section, "Levels")->setValue(1);
            QVERIFY(std::isnan(section.chart().field().valueAt(50, 20)));
            QCOMPARE(section.values(1).values.size(), 6u);
        }));
    }

    void nothingToShowIsSaidWithoutAWindow() {
        open(tilts(1, {1, 2, 3}));
        for (const char* item : {"KarousHjeltSection", "FraserMap"}) {
            s->ui.asked.clear();
            action(s->window, item)->trigger();
            QCOMPARE(s->ui.asked.size(), 1u);
            QVERIFY(s->ui.texts().constFirst().startsWith(QStringLiteral("No ")));
        }
        QVERIFY(s->ui.dialogTitles.isEmpty());
    }

    // Profiles 1 and 3 of frequency #1: F = 26 and 12 at 15 and 25 on
    // profile 1, F = 4 at 15 on profile 3. Frequency #2 has no value.
    // Profile 2 has no tilt data: its place stays blank, not filled in
    // between its neighbours.
    void mapPlacesProfilesAtTheLineSpacing() {
        std::vector<MeasurementRecord> rows =
            joined(tilts(1, {10, 5, -3, -8, -2}), tilts(3, {4, 3, 2, 1}));
        rows.push_back(record({.profile = 3, .station = 0, .frequencyNumber = 2}));
        open(rows);
        QVERIFY(runWindow<FraserMapWindow>("FraserMap", [this](FraserMapWindow& map) {
            QCOMPARE(map.windowTitle(), QStringLiteral("Fraser map"));
            QCOMPARE(entries(map, "FrequencyList"),
                     (QList<Entry>{{"Freq1", true}, {"Freq2", false}}));
            QCOMPARE(map.shownFrequencyNumber(), 1);
            QCOMPARE(map.chart().leftAxisTitle(), QStringLiteral("Profile"));
            QVERIFY(std::isnan(map.chart().field().valueAt(15, 2)));
            QVERIFY(same(map.chart().field().valueAt(15, 1.4), 26)); // half a spacing each
            QVERIFY(same(map.chart().field().valueAt(15, 2.6), 4));

            auto* spacing = part<QLineEdit>(map, "LineSpacing");
            spacing->setText(QStringLiteral("50"));
            emit spacing->editingFinished();
            QCOMPARE(map.lineSpacing(), 50.0);
            QCOMPARE(map.chart().leftAxisTitle(), QStringLiteral("Profile \u00d7 50"));
            QVERIFY(std::isnan(map.chart().field().valueAt(15, 100)));
            QVERIFY(same(map.chart().field().valueAt(15, 70), 26));

            spacing->setText(QStringLiteral("-2"));
            emit spacing->editingFinished();
            QCOMPARE(s->ui.texts(), QStringList{kLineSpacingWanted});
            QCOMPARE(spacing->text(), QStringLiteral("50"));
            QCOMPARE(map.lineSpacing(), 50.0);
        }));
    }

    // With positions the map is drawn in plan: profile 1 walked east at
    // northing 1000, profile 3 at 1100 (profile 2, no tilt, has none); each
    // Fraser value at its place, the grid through it. Profile 4's values
    // have no position: it is named and left off.
    void mapIsDrawnInPlanWhereThePositionsPlaceTheProfiles() {
        const QString data = s->sandbox.file("survey.vlf");
        writeText(s->sandbox.file("survey.positions.csv"),
                  "profile,station,easting,northing,elevation\n"
                  "1,0,5000,1000,\n1,40,5040,1000,\n3,0,5000,1100,\n3,30,5030,1100,\n");
        open(joined(joined(tilts(1, {10, 5, -3, -8, -2}), tilts(3, {4, 3, 2, 1})),
                    tilts(4, {4, 3, 2, 1})));
        s->ui.saveAnswers = {s->sandbox.file("plan.png")};
        QVERIFY(runWindow<PlanMapWindow>("FraserMap", [](PlanMapWindow& map) {
            QCOMPARE(map.windowTitle(), QStringLiteral("Fraser map"));
            QCOMPARE(entries(map, "FrequencyList"),
                     (QList<Entry>{{"Freq1", true}, {"Freq2", false}}));
            QCOMPARE(map.shownFrequencyNumber(), 1);
            // F = 26 and 12 at stations 15 and 25 of profile 1, 4 at 15 of
            // profile 3, gridded where the positions put them.
            const PlanGrid expected = gridMinimumCurvature(
                {{5015, 1000, 26, 1}, {5025, 1000, 12, 1}, {5015, 1100, 4, 3}});
            QVERIFY(sameGrid(map.grid(), expected));
            QCOMPARE(part<QLabel>(map, "Note")->text(),
                     QStringLiteral("2 profiles in plan at their positions; without positions, "
                                    "left off: profile 4"));
            part<QPushButton>(map, "SaveImage")->click();
            // Five stations at most: no Karous-Hjelt value.
            part<QComboBox>(map, "MapKind")->setCurrentIndex(1);
            QCOMPARE(entries(map, "FrequencyList"),
                     (QList<Entry>{{"Freq1", false}, {"Freq2", false}}));
            QVERIFY(map.chart() == nullptr);
            QCOMPARE(part<QLabel>(map, "Note")->text(),
                     QStringLiteral("No run has six station groups of kept tilt readings: there "
                                    "is no Karous-Hjelt value to map."));
        }));
        QCOMPARE(s->ui.saveRequests.at(0).fileName, QStringLiteral("survey_map.png"));
        QVERIFY(colouredPixels(QImage(s->sandbox.file("plan.png"))) > 1000);
        // Without positions, the profiles side by side as before.
        std::filesystem::remove(s->sandbox.file("survey.positions.csv").toStdString());
        openThroughDialog(s->window, s->ui, data);
        QVERIFY(runWindow<FraserMapWindow>("FraserMap", [](FraserMapWindow&) {}));
    }

    // With positions the map window maps the Karous-Hjelt current density
    // too, at the level nearest the depth typed: a spike of 100 (profile 1)
    // and 50 (profile 3) at station 40 gives level 2 (20 m) the one value
    // 0.561 x spike at station 50; level 3 is beyond 11 stations. Typed ends
    // fix the colours, values beyond an end in its colour.
    void karousHjeltIsMappedInPlanAtTheDepthTypedBetweenTheEndsTyped() {
        writeText(s->sandbox.file("survey.positions.csv"),
                  "profile,station,easting,northing,elevation\n"
                  "1,0,5000,1000,\n1,100,5100,1000,\n3,0,5000,1100,\n3,100,5100,1100,\n");
        open(joined(tilts(1, {0, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0}),
                    tilts(3, {0, 0, 0, 0, 50, 0, 0, 0, 0, 0, 0})));
        s->ui.saveAnswers = {s->sandbox.file("kh.png")};
        QVERIFY(runWindow<PlanMapWindow>("FraserMap", [this](PlanMapWindow& map) {
            auto* depth = part<QSpinBox>(map, "Depth");
            QVERIFY(!depth->isEnabled());
            part<QComboBox>(map, "MapKind")->setCurrentIndex(1);
            QVERIFY(depth->isEnabled());
            QCOMPARE(depth->value(), 10); // level 1: six values a profile
            QCOMPARE(map.chart()->title(),
                     QStringLiteral("Karous-Hjelt current density at 10 m, frequency number 1"));
            depth->setValue(20);
            QCOMPARE(map.chart()->title(),
                     QStringLiteral("Karous-Hjelt current density at 20 m, frequency number 1"));
            const PlanGrid expected =
                gridMinimumCurvature({{5050, 1000, 0.561 * 100, 1}, {5050, 1100, 0.561 * 50, 3}});
            QVERIFY(sameGrid(map.grid(), expected));
            QCOMPARE(part<QLabel>(map, "Note")->text(),
                     QStringLiteral("2 profiles in plan at their positions"));
            part<QPushButton>(map, "SaveImage")->click();

            // The ends in use show until others are typed.
            auto* low = part<QLineEdit>(map, "ColourMin");
            auto* high = part<QLineEdit>(map, "ColourMax");
            const double limit = map.chart()->colours().high;
            QCOMPARE(map.chart()->colours().low, -limit);
            QCOMPARE(limit, DivergingScale::covering(expected.range()->second).limit());
            QCOMPARE(low->text(), QString::number(-limit));
            QCOMPARE(high->text(), QString::number(limit));
            part<QComboBox>(map, "ColourEnds")->setCurrentIndex(1);
            // A Min above the old Max, then on to Max: taken with the Max typed.
            low->setText(QStringLiteral("100"));
            map.show();
            QApplication::setActiveWindow(&map);
            high->setFocus();
            emit low->editingFinished();
            QVERIFY(s->ui.texts().isEmpty());
            high->setText(QStringLiteral("200"));
            emit high->editingFinished();
            QCOMPARE(map.chart()->colours().low, 100.0);
            low->setText(QStringLiteral("-5"));
            high->setText(QStringLiteral("20"));
            emit high->editingFinished();
            const PlanMapColours& colours = map.chart()->colours();
            QCOMPARE(std::pair(colours.low, colours.high), std::pair(-5.0, 20.0));
            QStringList labels;
            for (const auto& tick : colours.ticks) labels << tick.second;
            QCOMPARE(labels, (QStringList{"-5", "0", "10", "20"}));
            QCOMPARE(colours.colour(30), colours.colour(20));
            QCOMPARE(colours.colour(-30), colours.colour(-5));
            QVERIFY(colours.colour(10) != colours.colour(20));
            high->setText(QStringLiteral("-30"));
            emit high->editingFinished();
            QCOMPARE(s->ui.texts(), QStringList{kValueEndsWanted});
            QCOMPARE(high->text(), QStringLiteral("20"));
            QCOMPARE(map.chart()->colours().high, 20.0);

            depth->setValue(30);
            QVERIFY(map.chart() == nullptr);
            QCOMPARE(part<QLabel>(map, "Note")->text(),
                     QStringLiteral("No run of frequency number 1 has a Karous-Hjelt level near "
                                    "30 m: try another depth"));
            part<QComboBox>(map, "MapKind")->setCurrentIndex(0);
            QCOMPARE(map.chart()->title(), QStringLiteral("Fraser map, frequency number 1"));
            QVERIFY(!depth->isEnabled());
        }));
        QVERIFY(colouredPixels(QImage(s->sandbox.file("kh.png"))) > 1000);
    }

    void colourScaleIsSymmetricAboutZero() {
        const DivergingScale scale = DivergingScale::covering(35.6);
        QCOMPARE(scale.limit(), 40.0);
        QCOMPARE(scale.ticks(), (std::vector<double>{-40, -20, 0, 20, 40}));
        QCOMPARE(scale.tickDecimals(), 0);
        QCOMPARE(DivergingScale::covering(1.4).tickDecimals(), 2); // 1.5: ticks at 0.75
        QCOMPARE(QColor(scale.colour(0)), QColor(Qt::white));
        for (double v : {3.0, 17.5, 40.0, 55.0}) {
            const QColor up(scale.colour(v)), down(scale.colour(-v));
            QCOMPARE(QColor(down.blue(), down.green(), down.red()), up);
            QVERIFY2(up.red() > up.blue(), qPrintable(up.name()));
        }
        QCOMPARE(scale.colour(55), scale.colour(40));
        QVERIFY(QColor(scale.colour(30)).lightness() < QColor(scale.colour(10)).lightness());
    }

    // Each window opens at its own size, then at the size it was closed at;
    // pictures have the size asked for, with cells drawn, whatever the
    // window's; what is remembered stays out of the settings' main group.
    void windowsKeepTheirSizeAndPicturesTheSizeAsked() {
        open(joined(tilts(1, {9, 6, 3, 0, -3, -6, -9, -6, 0, 4, 8}),
                    tilts(2, {8, 6, 2, -1, -4, -8, -6, -2, 2, 4, 6})));
        s->ui.saveAnswers = {s->sandbox.file("section.png"), s->sandbox.file("map.png")};
        s->ui.pictureAnswers = {QSize(700, 500)};
        QVERIFY(runWindow<KarousHjeltWindow>("KarousHjeltSection", [](KarousHjeltWindow& section) {
            QCOMPARE(section.size(), QSize(1039, 763));
            part<QPushButton>(section, "SaveImage")->click();
            section.resize(900, 700);
        }));
        QVERIFY(runWindow<FraserMapWindow>("FraserMap", [](FraserMapWindow& map) {
            QCOMPARE(map.size(), QSize(1039, 763));
            part<QPushButton>(map, "SaveImage")->click();
        }));
        QVERIFY(runWindow<KarousHjeltWindow>("KarousHjeltSection", [](KarousHjeltWindow& section) {
            QCOMPARE(section.size(), QSize(900, 700));
        }));
        QCOMPARE(s->ui.saveRequests.at(0).fileName, QStringLiteral("survey_kh.png"));
        QCOMPARE(s->ui.saveRequests.at(1).fileName, QStringLiteral("survey_map.png"));
        QCOMPARE(s->ui.picturesOffered, (std::vector<QSize>{{1039, 763}, {700, 500}}));
        QVERIFY(s->ui.texts().isEmpty());
        for (const char* name : {"section.png", "map.png"}) {
            const QImage png(s->sandbox.file(QLatin1String(name)));
            QCOMPARE(png.size(), QSize(700, 500));
            QVERIFY2(colouredPixels(png) > 1000, name);
        }
        QStringList kept = s->sandbox.settings()->allKeys();
        kept.sort();
        QCOMPARE(kept, (QStringList{"Sizes/FraserMapWindow", "Sizes/KarousHjeltWindow",
                                    "Sizes/Picture"}));
    }
};

QTEST_MAIN(InterpretationTest)
#include "interpretation_qtest.moc"
