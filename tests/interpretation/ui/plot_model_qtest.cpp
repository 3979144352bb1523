// veldro-cli plot model: a model's section above its curves, without a display.
#include "../../app/app_test_support.h"
#include "interpretation/ui/resistivity_section_chart.h"

#include <QImage>
#include <QProcess>

using namespace veldro::test;

namespace {

QString writeModel(const Sandbox& sandbox, const QByteArray& json) {
    const QString path = sandbox.file("model.json");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(json);
    return path;
}

bool deepRed(QRgb pixel) {
    return qRed(pixel) > 150 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}

} // namespace

class PlotModelTest : public QObject {
    Q_OBJECT

private slots:
    // A conductive block in the section's half of the picture, in red.
    void drawsTheSectionAboveTheCurvesAtTheAskedSize() {
        Sandbox sandbox;
        const QString model = writeModel(sandbox, R"({"layers": [{"resistivity": 1000}],
            "bodies": [{"polygon": [[80, 10], [120, 10], [120, 60], [80, 60]], "resistivity": 1}],
            "stations": {"from": 0, "to": 200, "step": 25}, "frequencies": [20000]})");
        const QString png = sandbox.file("model.png");
        const CliResult run =
            runCliProgram({"plot", "model", model, "-o", png, "--width", "600", "--height", "700"});
        QCOMPARE(run.status, 0);
        const QImage image(png);
        QCOMPARE(image.size(), QSize(600, 700));
        int red = 0;
        for (int y = 0; y < 350; ++y)
            for (int x = 0; x < 600; ++x) red += deepRed(image.pixel(x, y)) ? 1 : 0;
        QVERIFY2(red > 200, qPrintable(QString::number(red)));
    }

    // An inverted grid in ohm.m on the inversion's scale, as the model
    // window draws it: its ends from the cells the data see.
    void drawsAGridInTheInversionsColours() {
        Sandbox sandbox;
        const QString model = writeModel(sandbox, R"({"layers": [{"resistivity": 300}],
            "bodies": [{"grid": {"x": [-100, 500, 1100], "z": [0, 100, 200],
                "resistivity": [[10, 1000], [100, 5]], "sensitivity": [[1, 1], [1, 0]]}}],
            "stations": {"from": 0, "to": 1000, "step": 50}, "frequencies": [19800]})");
        const QString png = sandbox.file("grid.png");
        QCOMPARE(runCliProgram({"plot", "model", model, "-o", png}).status, 0);
        const QImage image(png);
        const veldro::ResistivityScale own = veldro::ResistivityScale::covering(1, 3);
        for (double log10Rho : {1, 2, 3}) {
            int cell = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    cell += image.pixel(x, y) == own.colour(log10Rho) ? 1 : 0;
            QVERIFY2(cell > 10000, qPrintable(QStringLiteral("%1: %2").arg(log10Rho).arg(cell)));
        }
    }

    void refusesABadModelNamingTheKey() {
        Sandbox sandbox;
        const QString model = writeModel(sandbox, R"({"layers": [{"resistivity": 10}],
            "stations": [0], "frequencies": []})");
        const CliResult run = runCliProgram({"plot", "model", model, "-o", sandbox.file("m.png")});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.error, model + QStringLiteral(": frequencies: must not be empty\n"));
        QVERIFY(!QFile::exists(sandbox.file("m.png")));
    }
};

QTEST_MAIN(PlotModelTest)
#include "plot_model_qtest.moc"
