// veldro-cli plot model: a model's section above its curves, without a display.
#include "../../app/app_test_support.h"

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
