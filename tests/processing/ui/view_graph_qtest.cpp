// The graph window and its two callers, "View Fraser" and a click on a
// column's header: curves, list entries, showing or not, printing, pictures.
#include "../../app/app_test_support.h"
#include "app/select_columns_dialog.h"
#include "charts/graph_chart.h"
#include "full_memory.h"
#include "processing/fraser_walk.h"
#include "processing/ui/view_graph_window.h"

#include <QChartView>
#include <QCheckBox>
#include <QHeaderView>
#include <QListWidget>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QSvgRenderer>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <optional>

using namespace veldro;
using namespace veldro::test;

namespace {

struct Entry {
    QString title;
    bool enabled;
    bool checked;
    QList<QPointF> points;
    bool operator==(const Entry&) const = default;
};

// What a shown graph window held.
struct Shown {
    QString caption;
    QString axis;
    QRect geometry;
    QList<Entry> entries;
};

Shown contents(TViewGraphFrm& graph) {
    Shown shown{graph.windowTitle(), graph.chart().leftAxisTitle(), graph.geometry(), {}};
    auto* list = part<QListWidget>(graph, "CheckListBox1");
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        shown.entries.append({item->text(), (item->flags() & Qt::ItemIsEnabled) != 0,
                              item->checkState() == Qt::Checked, graph.chart().curvePoints(i)});
    }
    return shown;
}

QValueAxis& axis(TViewGraphFrm& graph, Qt::Orientation orientation) {
    return *qobject_cast<QValueAxis*>(graph.chart().axes(orientation).constFirst());
}

// The pages of a PDF file; -1 when it is not a whole PDF file.
int pdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = file.readAll();
    if (!pdf.startsWith("%PDF-") || !pdf.trimmed().endsWith("%%EOF")) return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    int pages = 0;
    for (auto it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext(); it.next()) ++pages;
    return pages;
}

const double kRoundLeads[] = {1, 2, 2.5, 5};

std::vector<MeasurementRecord> stations(int profile,
                                        std::initializer_list<std::pair<int, int>> stationTilts) {
    std::vector<MeasurementRecord> records;
    for (auto [station, tilt] : stationTilts)
        records.push_back(record({.profile = profile, .station = station, .tilt = tilt}));
    return records;
}

} // namespace

class ViewGraphTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> s;

    void open(const std::vector<MeasurementRecord>& records) { openSurvey(*s, records); }

    // Runs `command`; what the graph window held when it was shown, after
    // `act` ran on it, or nothing when no window was shown.
    std::optional<Shown> graphOf(const std::function<void()>& command,
                                 const std::function<void(TViewGraphFrm&)>& act = {}) {
        std::optional<Shown> shown;
        s->ui.dialogAnswers.push_back([&](QDialog& dialog) {
            auto* graph = qobject_cast<TViewGraphFrm*>(&dialog);
            QVERIFY(graph);
            shown = contents(*graph);
            if (act) act(*graph);
        });
        command();
        s->ui.dialogAnswers.clear();
        return shown;
    }

    std::optional<Shown> viewFraser(const std::function<void(TViewGraphFrm&)>& act = {}) {
        return graphOf([this] { action(s->window, "ViewFraser1")->trigger(); }, act);
    }

    std::optional<Shown> clickHeader(const QString& caption,
                                     const std::function<void(TViewGraphFrm&)>& act = {}) {
        return graphOf(
            [this, caption] {
                QHeaderView* header =
                    part<MeasurementTableView>(s->window, "TabMesureCLstView")->horizontalHeader();
                const MeasurementTableModel& model = s->window.tableModel();
                for (int c = 0; c < model.columnCount(); ++c)
                    if (model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() ==
                        caption) {
                        const QPoint middle(header->sectionViewportPosition(c) +
                                                header->sectionSize(c) / 2,
                                            header->height() / 2);
                        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
                        return;
                    }
                QFAIL(qPrintable(QStringLiteral("no header ") + caption));
            },
            act);
    }

private slots:
    void init() { s = std::make_unique<Session>(); }
    void cleanup() { s.reset(); }

    void fraserViewDrawsTheWorkedExamples() {
        open(joined(stations(1, {{0, 10}, {25, 5}, {50, -3}, {75, -8}, {100, -2}}),
                    stations(2, {{10, 0}, {25, 0}, {40, 0}, {55, 0}})));
        const std::optional<Shown> shown = viewFraser();
        QVERIFY(shown);
        QCOMPARE(shown->caption, QStringLiteral("View"));
        QCOMPARE(shown->axis, QStringLiteral("Fraser"));
        QCOMPARE(shown->geometry, s->window.geometry());
        QCOMPARE(shown->entries,
                 (QList<Entry>{{"Prof1,Freq1", true, true, {{37.5, 26}, {62.5, 12}}},
                               {"Prof2,Freq1", true, true, {{32.5, 0}}}}));
    }

    // The run of the interrupting profile gets no value: its entry stays
    // disabled and unchecked, and a click does not check it.
    void interruptingProfileGivesTwoCurvesOfOneTitle() {
        open(joined(stations(1, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}),
                    std::vector{record({.profile = 7, .station = 50, .kept = false})},
                    stations(1, {{5, 5}, {6, 6}})));
        const std::optional<Shown> shown = viewFraser([](TViewGraphFrm& graph) {
            auto* list = part<QListWidget>(graph, "CheckListBox1");
            const QRect box = list->visualItemRect(list->item(1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              box.topLeft() + QPoint(8, box.height() / 2));
            QCOMPARE(list->item(1)->checkState(), Qt::Unchecked);
        });
        QVERIFY(shown);
        QCOMPARE(shown->entries,
                 (QList<Entry>{{"Prof1,Freq1", true, true, {{2.5, -4}}},
                               {"Prof7,Freq1", false, false, {}},
                               {"Prof1,Freq1", true, true, {{3.5, -4}, {4.5, -4}}}}));
    }

    void threeStationsShowNoWindow() {
        open(stations(1, {{1, 5}, {2, 0}, {3, 0}}));
        QVERIFY(!viewFraser());
        QVERIFY(s->ui.dialogTitles.isEmpty());
    }

    void gapMarksAreCountedOnTheStatusLine() {
        open(stations(1, {{0, 1}, {10, 1}, {20, 1}, {30, 1}, {50, 1}, {60, 1}, {70, 1}, {80, 1}}));
        QString marks;
        QVERIFY(viewFraser(
            [&marks](TViewGraphFrm& graph) { marks = part<QLabel>(graph, "Marks")->text(); }));
        QVERIFY2(marks.startsWith(QStringLiteral("3 values marked with a triangle")),
                 qPrintable(marks));
    }

    // Kept rows of the column's mode, against station, a curve per run; an
    // ignored profile's run keeps a disabled entry.
    void columnPlotTakesTheKeptRowsOfTheColumnsMode() {
        open({record({.station = 0, .quality = 80}), record({.station = 0, .quality = 82}),
              record({.station = 0, .resistivity = true, .quality = 70, .rho = 120.5f}),
              record({.station = 25, .resistivity = true, .quality = 71, .rho = 300.25f}),
              record({.station = 25, .kept = false, .quality = 10}),
              record({.profile = 2, .station = 0, .kept = false, .resistivity = true, .rho = 9})});
        const std::optional<Shown> rho =
            clickHeader(QStringLiteral("Rho (ohm.m)"), [](TViewGraphFrm& graph) {
                part<QPushButton>(graph, "SaveImage")->click(); // cancelled
                // Whole decades of a logarithmic axis.
                auto* decades =
                    qobject_cast<QLogValueAxis*>(graph.chart().axes(Qt::Vertical).constFirst());
                QVERIFY(decades);
                QCOMPARE(decades->min(), 100.0);
                QCOMPARE(decades->max(), 1000.0);
                QCOMPARE(decades->titleText(), QStringLiteral("Rho (ohm.m)"));
            });
        QVERIFY(rho);
        QCOMPARE(rho->axis, QStringLiteral("Rho (ohm.m)"));
        QCOMPARE(rho->entries,
                 (QList<Entry>{{"Prof1,Freq1", true, true, {{0, 120.5}, {25, 300.25}}},
                               {"Prof2,Freq1", false, false, {}}}));
        QCOMPARE(s->ui.saveRequests.at(0).fileName, QStringLiteral("survey_Rho_ohm.m.png"));

        const std::optional<Shown> q =
            clickHeader(QStringLiteral("Q (%)"),
                        [](TViewGraphFrm& graph) { QVERIFY(!graph.chart().logarithmicValues()); });
        QVERIFY(q);
        QCOMPARE(q->entries.constFirst().points,
                 (QList<QPointF>{{0, 80}, {0, 82}, {0, 70}, {25, 71}}));
    }

    void hiddenColumnsDoNotShiftTheClickedOne() {
        open({record({.station = 0, .tilt = 12}), record({.station = 25, .tilt = -7})});
        s->ui.dialogAnswers.push_back([](QDialog& dialog) {
            auto* columns = qobject_cast<TSelectColumnsFrm*>(&dialog);
            QVERIFY(columns);
            columns->TabMesureCLstViewColumnClick(1); // "Profile"
            columns->TabMesureCLstViewColumnClick(2); // "Station"
            columns->BitBtn1->click();
        });
        action(s->window, "Displayoptions1")->trigger();
        const std::optional<Shown> shown = clickHeader(QStringLiteral("Tilt.ver(%)"));
        QVERIFY(shown);
        QCOMPARE(shown->axis, QStringLiteral("Tilt.ver(%)"));
        QCOMPARE(shown->entries.constFirst().points, (QList<QPointF>{{0, 12}, {25, -7}}));
    }

    void hugeValuesAndOtherHeadersShowNoWindow() {
        open({record({.station = 0, .resistivity = true, .rho = 100000}),
              record({.station = 25, .resistivity = true, .rho = 250000})});
        QVERIFY(!clickHeader(QStringLiteral("Rho (ohm.m)")));
        QVERIFY(!clickHeader(QStringLiteral("#")));
        QVERIFY(!clickHeader(QStringLiteral("Freq(Hz)")));
        QVERIFY(s->ui.dialogTitles.isEmpty());
        QCOMPARE(s->window.tableModel().index(1, 0).data().toString(), QStringLiteral("2"));
    }

    // The legend and the axes follow the visible curves.
    void uncheckingAnEntryHidesOnlyItsCurve() {
        open(joined(stations(1, {{0, 1}, {25, 2}, {50, 3}, {75, 4}}),
                    stations(2, {{1000, 1}, {1025, 2}, {1050, 3}, {1075, 9}})));
        QVERIFY(viewFraser([](TViewGraphFrm& graph) {
            part<QListWidget>(graph, "CheckListBox1")->item(0)->setCheckState(Qt::Unchecked);
            GraphChart& chart = graph.chart();
            QVERIFY(!chart.curveVisible(0));
            QVERIFY(chart.curveVisible(1));
            QCOMPARE(chart.legendTitles(), QStringList{QStringLiteral("Prof2,Freq1")});
            QVERIFY(axis(graph, Qt::Horizontal).min() > 100);
            QVERIFY(axis(graph, Qt::Vertical).min() <= -8);
        }));
    }

    // Beyond the rows that fit, the legend names the profiles in their
    // colours and the frequency numbers in their line styles.
    void legendListsProfilesAndFrequenciesWhenTheCurvesDoNotFit() {
        GraphChart chart;
        for (int c = 0; c < 70; ++c) {
            FraserRun run{c, c + 1, c % 2 + 1, 16000, fraserCurveTitle(c + 1, c % 2 + 1)};
            chart.addCurve(run);
            chart.addPoint(c, c, c, false);
        }
        chart.resize(800, 3000);
        chart.setVisibleCurves(std::vector<bool>(70, true));
        QStringList titles = chart.legendTitles();
        QCOMPARE(titles.size(), GraphChart::kLegendRows);
        QCOMPARE(titles.at(0), QStringLiteral("Prof1"));
        QCOMPARE(titles.at(60), QStringLiteral("Prof61"));
        QCOMPARE(titles.at(61), QStringLiteral("Prof62 to Prof70"));
        QCOMPARE(titles.mid(62), (QStringList{"Freq1", "Freq2"}));

        chart.resize(800, 300);
        titles = chart.legendTitles();
        QVERIFY(titles.size() < 15);
        QCOMPARE(titles.at(titles.size() - 3),
                 QStringLiteral("Prof%1 to Prof70").arg(titles.size() - 2));

        chart.setVisibleCurves({true, true, false, true});
        QCOMPARE(chart.legendTitles(), (QStringList{"Prof1,Freq1", "Prof2,Freq2", "Prof4,Freq2"}));
        QCOMPARE(chart.pictureTitle(),
                 QStringLiteral("Values: Prof1,Freq1, Prof2,Freq2, Prof4,Freq2"));

        // Below a low chart the entries share rows: each curve keeps its own.
        chart.legend()->setAlignment(Qt::AlignBottom);
        chart.resize(800, 150);
        chart.setVisibleCurves(std::vector<bool>(10, true));
        QCOMPARE(chart.legendTitles().size(), 10);
    }

    // On a full memory: one profile alone, another beside it in another
    // colour, a frequency number off, all hidden, all shown.
    void pickerChoosesProfilesAndFrequencyNumbers() {
        open(fullMemory());
        QVERIFY(viewFraser([](TViewGraphFrm& graph) {
            GraphChart& chart = graph.chart();
            auto* profiles = part<QListWidget>(graph, "ProfileList");
            QCOMPARE(profiles->count(), 160);
            QCOMPARE(profiles->item(6)->text(), QStringLiteral("Prof7"));
            emit profiles->itemDoubleClicked(profiles->item(6));
            QCOMPARE(chart.legendTitles(), (QStringList{"Prof7,Freq1", "Prof7,Freq2"}));
            const int freq1 = 12, freq2 = 13; // the curves of profile 7
            QCOMPARE(chart.curvePen(freq1).color(), chart.curvePen(freq2).color());
            QCOMPARE(chart.curvePen(freq1).style(), Qt::SolidLine);
            QCOMPARE(chart.curvePen(freq2).style(), Qt::DashLine);

            profiles->item(8)->setCheckState(Qt::Checked);
            QCOMPARE(chart.legendTitles().size(), 4);
            QVERIFY(chart.curvePen(16).color() != chart.curvePen(freq1).color());
            part<QCheckBox>(graph, "Freq2Box")->click();
            QCOMPARE(chart.legendTitles(), (QStringList{"Prof7,Freq1", "Prof9,Freq1"}));
            QCOMPARE(chart.pictureTitle(), QStringLiteral("Fraser: Prof7,Freq1, Prof9,Freq1"));

            part<QPushButton>(graph, "HideAll")->click();
            QVERIFY(chart.legendTitles().isEmpty());
            // "Show all" picks profiles only: Freq2 stays off until ticked.
            part<QPushButton>(graph, "ShowAll")->click();
            QVERIFY(!part<QCheckBox>(graph, "Freq2Box")->isChecked());
            for (int c = 0; c < chart.curveCount(); ++c)
                QCOMPARE(chart.curveVisible(c), chart.curveFrequencyNumber(c) == 1);
            part<QCheckBox>(graph, "Freq2Box")->click();
            for (int c = 0; c < chart.curveCount(); ++c) QVERIFY(chart.curveVisible(c));
            QCOMPARE(chart.legendTitles().constLast(), QStringLiteral("Freq2"));
            QCOMPARE(chart.pictureTitle(),
                     QStringLiteral("Fraser: profiles 1 to 160, Freq1 and Freq2"));
        }));
    }

    // Zoomed anywhere, the ticks fall on round numbers.
    void zoomAndPointer() {
        open(stations(1, {{0, 1}, {25, 2}, {50, 3}, {75, 4}, {100, 8}}));
        QVERIFY(viewFraser([](TViewGraphFrm& graph) {
            auto* view = part<QChartView>(graph, "Chart1");
            QValueAxis& x = axis(graph, Qt::Horizontal);
            const double whole = x.max() - x.min();
            const QRectF plot = graph.chart().plotArea();
            const QPoint middle = view->mapFromScene(graph.chart().mapToScene(plot.center()));
            QMouseEvent move(QEvent::MouseMove, middle, view->viewport()->mapToGlobal(middle),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &move);
            QVERIFY(part<QLabel>(graph, "Pointed")->text().startsWith(QStringLiteral("Station ")));

            graph.chart().zoomIn(QRectF(plot.center() + QPointF(3.7, 1.3), plot.size() / 3.3));
            QVERIFY(x.max() - x.min() < whole / 2);
            for (const QValueAxis* zoomed : {&x, &axis(graph, Qt::Vertical)}) {
                const double power = std::pow(10.0, std::floor(std::log10(zoomed->tickInterval())));
                const double leading = zoomed->tickInterval() / power;
                QVERIFY2(std::any_of(
                             std::begin(kRoundLeads), std::end(kRoundLeads),
                             [leading](double round) { return std::abs(leading - round) < 1e-9; }),
                         qPrintable(QString::number(zoomed->tickInterval())));
                QCOMPARE(zoomed->tickAnchor(), 0.0);
                QCOMPARE(zoomed->tickType(), QValueAxis::TicksDynamic);
            }
            QTest::mouseClick(view->viewport(), Qt::RightButton, {}, middle);
            QCOMPARE(x.max() - x.min(), whole);
        }));
    }

    void printPrintsOnePageOnTheDefaultPrinter() {
        open(stations(1, {{0, 1}, {25, 2}, {50, 3}, {75, 4}}));
        const QString pdf = s->sandbox.file("printed.pdf");
        s->ui.printerAnswers.push_back(pdf);
        QVERIFY(viewFraser([](TViewGraphFrm& graph) {
            part<QPushButton>(graph, "BitBtnPrint")->click(); // to the PDF
            part<QPushButton>(graph, "BitBtnPrint")->click(); // no printer left
        }));
        QCOMPARE(s->ui.printerAsked, (std::vector<bool>{false, false}));
        QCOMPARE(pdfPages(pdf), 1);
        QCOMPARE(s->ui.texts().size(), 1);
        QVERIFY(s->ui.texts().constFirst().startsWith(QStringLiteral("There is no printer")));
    }

    // Each picture at the size asked for, whatever the window's: a page's
    // first, then the size last asked for; a size not given saves nothing.
    void saveImageWritesPicturesOfTheSizeAsked() {
        open(stations(1, {{0, 1}, {25, 2}, {50, 3}, {75, 4}}));
        for (const char* name : {"chart.png", "chart.svg", "chart.pdf", "none.png"})
            s->ui.saveAnswers.push_back(s->sandbox.file(QLatin1String(name)));
        s->ui.pictureAnswers = {QSize(1039, 763), QSize(640, 480), QSize(640, 480), std::nullopt};
        QVERIFY(viewFraser([](TViewGraphFrm& graph) {
            for (int i = 0; i < 4; ++i) part<QPushButton>(graph, "SaveImage")->click();
        }));
        QCOMPARE(s->ui.saveRequests.size(), 4u);
        QCOMPARE(s->ui.saveRequests[0].fileName, QStringLiteral("survey_fraser.png"));
        QCOMPARE(QDir(s->ui.saveRequests[0].directory), QDir(s->sandbox.path()));
        QCOMPARE(s->ui.picturesOffered,
                 (std::vector<QSize>{{1039, 763}, {1039, 763}, {640, 480}, {640, 480}}));
        QVERIFY(s->ui.texts().isEmpty());
        QCOMPARE(QImage(s->sandbox.file("chart.png")).size(), QSize(1039, 763));
        QCOMPARE(QSvgRenderer(s->sandbox.file("chart.svg")).viewBox().size(), QSize(640, 480));
        QCOMPARE(pdfPages(s->sandbox.file("chart.pdf")), 1);
        QVERIFY(!QFile::exists(s->sandbox.file("none.png")));
    }
};

QTEST_MAIN(ViewGraphTest)
#include "view_graph_qtest.moc"
