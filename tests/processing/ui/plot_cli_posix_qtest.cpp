// veldro-cli plot: the graph window's chart as a picture, without a display.
#include "../../app/app_test_support.h"
#include "faulty_folder.h"

#include <QImage>
#include <QProcess>
#include <QSvgRenderer>

using namespace veldro;
using namespace veldro::test;

namespace {

struct Run {
    int status;
    QString error;
};

Run cli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(VELDRO_CLI), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class PlotCliTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Sandbox> sandbox;
    QString survey;

private slots:
    void init() {
        sandbox = std::make_unique<Sandbox>();
        std::vector<MeasurementRecord> records;
        for (int s = 0; s < 6; ++s)
            records.push_back(record({.station = 25 * s, .tilt = s * s, .quality = 60 + s}));
        survey = writeDataFile(sandbox->file("survey.vlf"), records);
    }

    void drawsTheFraserViewAndAColumnAtTheAskedSize() {
        const QString png = sandbox->file("fraser.png");
        QCOMPARE(
            cli({"plot", "fraser", survey, "-o", png, "--width", "640", "--height", "480"}).status,
            0);
        QCOMPARE(QImage(png).size(), QSize(640, 480));

        const QString svg = sandbox->file("q.svg");
        QCOMPARE(cli({"plot", "column", survey, "Q (%)", "-o", svg}).status, 0);
        QVERIFY(QSvgRenderer(svg).isValid());
        QCOMPARE(cli({"plot", "column", survey, "4", "-o", sandbox->file("q.pdf")}).status, 0);
    }

    // Six stations: one Karous-Hjelt value, three Fraser values on one profile.
    void drawsTheSectionAndTheMapWithTheirCells() {
        for (const char* kind : {"kh", "map"}) {
            const QString png = sandbox->file(QLatin1String(kind) + QStringLiteral(".png"));
            const Run run =
                cli({"plot", kind, survey, "-o", png, "--width", "500", "--height", "400"});
            QVERIFY2(run.status == 0, qPrintable(run.error));
            const QImage image(png);
            QCOMPARE(image.size(), QSize(500, 400));
            QVERIFY2(colouredPixels(image) > 500, kind);
        }
        QCOMPARE(cli({"plot", "kh", survey, "-o", sandbox->file("k.png"), "--profile", "2"}).status,
                 1);
        QCOMPARE(cli({"plot", "map", survey, "-o", sandbox->file("m.png"), "--line-spacing", "0"})
                     .status,
                 2);
    }

    // map: the demo survey in plan at its positions, at the asked size.
    void drawsTheMapInPlan() {
        const QString demo = QStringLiteral(VELDRO_GOLDEN_DIR "/../../examples/demo_survey.vlf");
        const QString png = sandbox->file("plan.png");
        const Run run =
            cli({"map", "fraser", demo, "-o", png, "--width", "600", "--height", "500"});
        QVERIFY2(run.status == 0, qPrintable(run.error));
        QCOMPARE(QImage(png).size(), QSize(600, 500));
        QVERIFY(colouredPixels(QImage(png)) > 10000);
        // Colour ends typed far beyond the values: the same map, pale.
        const QString pale = sandbox->file("pale.png");
        QCOMPARE(cli({"map", "fraser", demo, "-o", pale, "--width", "600", "--height", "500",
                      "--value-range", "-1000:1000"})
                     .status,
                 0);
        QVERIFY(colouredPixels(QImage(pale)) < colouredPixels(QImage(png)) / 2);
        QCOMPARE(cli({"map", "kh", demo, "--depth", "50", "-o", sandbox->file("kh.svg")}).status,
                 0);
        QVERIFY(QSvgRenderer(sandbox->file("kh.svg")).isValid());
    }

    void refusesWhatCannotBePlotted() {
        const Run frequency = cli({"plot", "column", survey, "Freq(Hz)", "-o", "f.png"});
        QCOMPARE(frequency.status, 2);
        QVERIFY2(frequency.error.contains(QStringLiteral("4  Q (%)")), qPrintable(frequency.error));
        QCOMPARE(cli({"plot", "fraser", survey, "-o", "f.jpg"}).status, 2);

        const QString rho = sandbox->file("rho.png");
        const Run nothing = cli({"plot", "column", survey, "Rho (ohm.m)", "-o", rho});
        QCOMPARE(nothing.status, 1);
        QVERIFY(nothing.error.startsWith(QStringLiteral("nothing to plot")));
        QVERIFY(!QFile::exists(rho));
    }

    // A picture that does not fit on the disk is said with the system's
    // reason, as the other writers say it.
    void aFullDiskIsSaidWithItsReason() {
        FaultyFolder folder;
        const QString svg = QString::fromStdString(folder.file("p.svg"));
        folder.fill();
        const Run full = cli({"plot", "fraser", survey, "-o", svg});
        folder.restore();
        QCOMPARE(full.status, 1);
        QVERIFY2(full.error.contains(QStringLiteral("No space left on device")) ||
                     full.error.contains(QStringLiteral("File too large")),
                 qPrintable(full.error));
        QVERIFY(!QFile::exists(svg));
    }
};

QTEST_MAIN(PlotCliTest)
#include "plot_cli_posix_qtest.moc"
