// The inversion picture in the window's item and as veldro-cli plot inversion draws it.
#include "../../app/app_test_support.h"
#include "interpretation/inversion_output.h"
#include "interpretation/inversion_section.h"
#include "interpretation/ui/fit_chart.h"
#include "interpretation/ui/inversion_picture.h"
#include "interpretation/ui/resistivity_section_chart.h"
#include "inversion_sections.h"

#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QValueAxis>
#include <cmath>

using namespace veldro;
using namespace veldro::test;

namespace {

const std::vector<double> kStations{0, 25, 50, 75, 100};

ProfileData profileOf(std::vector<FittedQuantity> quantities) {
    ProfileData data;
    data.profile = 2;
    data.stations = kStations;
    data.frequencies = {19800, 23400};
    for (std::size_t s = 0; s < data.stations.size(); ++s)
        for (std::size_t f = 0; f < 2; ++f)
            for (FittedQuantity q : quantities) data.data.push_back({s, f, q, 1, 2});
    return data;
}

QString writtenFile(const QString& path, const QByteArray& text) {
    writeText(path, text);
    return path;
}

} // namespace

class InversionPictureTest : public QObject {
    Q_OBJECT

private slots:
    void showsAChartOfCurvesPerKindOfData_data() {
        QTest::addColumn<int>("kinds");
        QTest::addColumn<QStringList>("firstCurves");
        QTest::addColumn<QStringList>("axisTitles");
        const QStringList tilt{"Tilt.ver(%) 19800 Hz", "Tilt.ver(%) 23400 Hz",
                               "Ellip.ver(%) 19800 Hz", "Ellip.ver(%) 23400 Hz"};
        QTest::newRow("tilt") << 0 << tilt << QStringList{"%", "RMS"};
        QTest::newRow("resistivity") << 1 << QStringList{"Rho 19800 Hz", "Rho 23400 Hz"}
                                     << QStringList{"Rho (ohm.m)", "Phase (\u00b0)", "RMS"};
        QTest::newRow("both") << 2 << tilt
                              << QStringList{"%", "Rho (ohm.m)", "Phase (\u00b0)", "RMS"};
    }

    // Each curve's lines are the section's computed data, its dots the observed.
    void showsAChartOfCurvesPerKindOfData() {
        QFETCH(int, kinds);
        QFETCH(QStringList, firstCurves);
        QFETCH(QStringList, axisTitles);
        const std::vector<FittedQuantity> tilt{FittedQuantity::Tilt, FittedQuantity::Ellipticity};
        const std::vector<FittedQuantity> resistivity{FittedQuantity::LogRho,
                                                      FittedQuantity::Phase};
        std::vector<FittedQuantity> quantities = kinds == 1 ? resistivity : tilt;
        if (kinds == 2) quantities.insert(quantities.end(), resistivity.begin(), resistivity.end());
        const ProfileData data = profileOf(quantities);
        const InversionResult result = patchedSection(data);
        const InversionFit fit = inversionFit(data, result, 300);
        const InversionPicture picture(data, result, fit);

        QStringList titles;
        for (const FitChart* chart : picture.fitCharts()) titles << chart->leftAxisTitle();
        QCOMPARE(titles, axisTitles);
        QCOMPARE(picture.fitCharts().front()->title(),
                 QStringLiteral("Observed (dots) and computed (lines)"));
        const FitChart& first = *picture.fitCharts().front();
        QStringList curves;
        for (const FitCurve& curve : first.curves()) curves << curve.title;
        QCOMPARE(curves, firstCurves);
        // The first curve: the first quantity at the first frequency, station by station.
        const FitCurve& curve = first.curves().front();
        QCOMPARE(curve.computed.size(), kStations.size());
        for (std::size_t s = 0; s < kStations.size(); ++s) {
            const std::size_t datum = s * 2 * quantities.size();
            QCOMPARE(curve.computed[s], QPointF(kStations[s], fit.computed[datum]));
            QCOMPARE(curve.observed[s], QPointF(kStations[s], 1));
            QCOMPARE(curve.errors[s], 2.0);
        }
        QCOMPARE(picture.pictureTitle(),
                 QStringLiteral("Inversion section, profile 2 (RMS %1)").arg(fit.rms, 0, 'f', 2));
    }

    // The last chart shows each station's misfit; the points kept out of the
    // fit are marked to be drawn hollow, there and on the curves.
    void showsTheMisfitPerStationAndMarksThePointsKeptOut() {
        ProfileData data = profileOf({FittedQuantity::Tilt, FittedQuantity::Ellipticity});
        for (Datum& d : data.data) d.excluded = d.station == 1;
        const InversionResult result = patchedSection(data);
        const InversionFit fit = inversionFit(data, result, 300);
        const InversionPicture picture(data, result, fit);
        const FitCurve& curve = picture.fitCharts().front()->curves().front();
        const FitCurve& misfit = picture.fitCharts().back()->curves().front();
        QCOMPARE(misfit.title, QStringLiteral("Misfit per station (RMS)"));
        QCOMPARE(misfit.observed.size(), kStations.size());
        for (std::size_t s = 0; s < kStations.size(); ++s) {
            QCOMPARE(curve.excluded[s], s == 1);
            QCOMPARE(misfit.excluded[s], s == 1);
            QCOMPARE(misfit.observed[s], QPointF(kStations[s], fit.stationRms[s]));
        }
        QCOMPARE(fit.stationRms[1], 0.0);
        QVERIFY(fit.stationRms[0] > 0);
    }

    // The boreholes of the picture's profile stand on its section, each
    // interval in the colour of its resistivity.
    void drawsTheProfilesBoreholesOnTheSection() {
        const ProfileData data = profileOf({FittedQuantity::Tilt, FittedQuantity::Ellipticity});
        const InversionResult result = patchedSection(data);
        const std::vector<Borehole> holes{{"BH1", 2, kStations[1], {{0, 1e5, 1e4, "granite"}}},
                                          {"BH2", 5, kStations[1], {{0, 10, 10, ""}}}};
        QGraphicsScene scene;
        auto* picture = new InversionPicture(data, result, inversionFit(data, result, 300), holes);
        const QImage image = laidOutAndDrawn(scene, picture);
        QCOMPARE(picture->boreholes(), std::vector<Borehole>{holes.front()});
        const ResistivitySectionChart& section = picture->section();
        // Station 1 across, half way down: inside the granite.
        const QValueAxis& y = section.axisY();
        const QColor drawn =
            image.pixelColor(sectionPixel(section, kStations[1], (y.min() + y.max()) / 2));
        const QColor wanted(section.scale().colour(4));
        QVERIFY2(std::abs(drawn.hue() - wanted.hue()) < 10 &&
                     std::abs(drawn.lightness() - wanted.lightness()) < 20,
                 qPrintable(drawn.name() + QStringLiteral(" for ") + wanted.name()));
    }

    // Under hills the cells follow the surface, drawn in elevation: air above
    // the surface line, ground below it, a borehole's depths from the surface
    // at the hole.
    void drawsATerrainSectionInElevationUnderItsSurface() {
        ProfileData data = profileOf({FittedQuantity::Tilt, FittedQuantity::Ellipticity});
        data.topography = {{0, 100}, {50, 140}, {100, 110}};
        const InversionResult result = patchedSection(data);
        const std::vector<Borehole> holes{{"BH1", 2, 50, {{0, 10, 1e4, ""}}}};
        QGraphicsScene scene;
        auto* picture = new InversionPicture(data, result, inversionFit(data, result, 300), holes);
        const QImage image = laidOutAndDrawn(scene, picture);
        const ResistivitySectionChart& section = picture->section();
        QCOMPARE(section.leftAxisTitle(), QStringLiteral("Elevation (m)"));
        const QValueAxis& y = section.axisY();
        QVERIFY(!y.isReverse());
        const auto pixel = [&](double station, double elevation) {
            return sectionPixel(section, station, elevation);
        };
        const QColor ground(section.scale().colour(std::log10(300.0)));
        QVERIFY(y.max() > 140);
        // Between the stations, clear of their ticks: the surface there, air
        // above it, ground 10 m below.
        for (const auto& [station, surface] :
             {std::pair{12.5, 110.0}, {37.5, 130.0}, {62.5, 132.5}, {87.5, 117.5}}) {
            QCOMPARE(image.pixelColor(pixel(station, (surface + y.max()) / 2)), QColor(Qt::white));
            QCOMPARE(image.pixelColor(pixel(station, surface - 10)), ground);
            const QColor line = image.pixelColor(pixel(station, surface));
            QVERIFY2(line.lightness() < 80, qPrintable(QString::number(station)));
        }
        // The borehole's 0 to 10 m at the crest: below 140 m, not 0 to 10 m down from the top.
        const QColor hole = image.pixelColor(pixel(50, 135) + QPoint(1, 0));
        const QColor wanted(section.scale().colour(4));
        QVERIFY2(std::abs(hole.hue() - wanted.hue()) < 10,
                 qPrintable(hole.name() + QStringLiteral(" for ") + wanted.name()));
    }

    void fadesTheCellsTheDataHardlySee() {
        const ProfileData data = profileOf({FittedQuantity::Tilt, FittedQuantity::Ellipticity});
        const InversionResult result = patchedSection(data);
        InversionFit fit = inversionFit(data, result, 300);
        const std::size_t seen = 0, unseen = 1;
        fit.sensitivity[seen] = 1, fit.sensitivity[unseen] = 0;
        const InversionPicture picture(data, result, fit);
        const ResistivitySectionChart& section = picture.section();
        // Both cells hold 300 ohm.m.
        const QRgb colour = section.scale().colour(std::log10(300.0));
        QCOMPARE(section.cellColour(seen), colour);
        const QColor faded(section.cellColour(unseen));
        QVERIFY(faded.hsvSaturation() < QColor(colour).hsvSaturation() / 3);
        QVERIFY(faded.lightness() > QColor(colour).lightness());
        // The colours span the cells seen, 10 to 300 ohm.m, between round ends.
        QCOMPARE(section.scale().lowest(), 1.0);
        QCOMPARE(section.scale().highest(), std::log10(500.0));
        const std::vector<double> ticks{10, 20, 50, 100, 200, 500};
        QCOMPARE(section.scale().ticks(), ticks);
        // Fixed ends, rounded out, whatever the cells hold; then the cells' own again.
        picture.section().setFixedRange(std::pair(3.0, 4000.0));
        QCOMPARE(section.scale().lowest(), std::log10(2.0));
        QCOMPARE(section.scale().highest(), std::log10(5000.0));
        QVERIFY(section.cellColour(seen) != colour);
        picture.section().setFixedRange(std::nullopt);
        QCOMPARE(section.scale().highest(), std::log10(500.0));
        // With the depth of investigation worked out, it fades the cells instead.
        InversionResult withDoi = result;
        withDoi.depthOfInvestigation.assign(result.mesh.cells(), 0);
        withDoi.depthOfInvestigation[seen] = 1;
        const InversionPicture byDoi(data, withDoi, fit);
        const QRgb doiColour = byDoi.section().scale().colour(std::log10(300.0));
        QCOMPARE(byDoi.section().cellColour(unseen), doiColour);
        QVERIFY(QColor(byDoi.section().cellColour(seen)).lightness() >
                QColor(doiColour).lightness());
    }

    // Four charts in a short picture: the value labels thinned out rather than cut.
    void linesTheStationsUpAndSpacesTheLabelsOnEveryChart() {
        const ProfileData data = profileOf({FittedQuantity::Tilt, FittedQuantity::Ellipticity,
                                            FittedQuantity::LogRho, FittedQuantity::Phase});
        const InversionResult result = patchedSection(data);
        QGraphicsScene scene;
        auto* picture = new InversionPicture(data, result, inversionFit(data, result, 300));
        scene.addItem(picture);
        picture->resize(900, 700);
        for (int round = 0; round < 4; ++round)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QRectF section = picture->section().plotArea();
        for (const FitChart* chart : picture->fitCharts()) {
            QCOMPARE(chart->axisX().min(), picture->section().axisX().min());
            QCOMPARE(chart->axisX().max(), picture->section().axisX().max());
            QVERIFY(std::abs(chart->plotArea().left() - section.left()) < 1);
            QVERIFY(std::abs(chart->plotArea().right() - section.right()) < 1);
            const QValueAxis& y = chart->axisY();
            const double pixelsPerTick =
                y.tickInterval() * chart->plotArea().height() / (y.max() - y.min());
            QVERIFY2(pixelsPerTick >= QFontMetricsF(y.labelsFont()).height(),
                     qPrintable(QString::number(pixelsPerTick)));
        }
    }

    void plotInversionDrawsTheSectionAtTheAskedSize() {
        Sandbox sandbox;
        const QString survey = surveyOverASheet(sandbox);
        const QString model = sandbox.file("inverted.json");
        QCOMPARE(runCliProgram({"invert", survey, "-o", model, "--target-rms", "1000"}).status, 0);
        const QString png = sandbox.file("section.png");
        const CliResult run = runCliProgram(
            {"plot", "inversion", survey, model, "-o", png, "--width", "700", "--height", "800"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.error, QString());
        QCOMPARE(QImage(png).size(), QSize(700, 800));
        const CliResult fixed = runCliProgram(
            {"plot", "inversion", survey, model, "-o", png, "--resistivity-range", "1:10000"});
        QCOMPARE(fixed.status, 0);
        QCOMPARE(fixed.error, QString());
        const CliResult doi = runCliProgram(
            {"plot", "inversion", survey, model, "-o", png, "--doi", "--max-iterations", "1"});
        QCOMPARE(doi.status, 0);
        QVERIFY2(doi.error.contains("Depth of investigation run 2 of 2, iteration 1: RMS "),
                 qPrintable(doi.error));
        // A section inverted under hills: its surface comes with its model file.
        ProfileData hills = profileOf({FittedQuantity::Tilt});
        hills.topography = {{0, 100}, {50, 140}, {100, 110}};
        const QString terrain =
            writtenFile(sandbox.file("terrain.json"),
                        QByteArray::fromStdString(inversionModelFile(patchedSection(hills))));
        const CliResult underHills =
            runCliProgram({"plot", "inversion", survey, terrain, "-o", png});
        QCOMPARE(underHills.status, 0);
        QCOMPARE(underHills.error, QString());
    }

    void plotInversionRefusesWhatItCannotShow() {
        Sandbox sandbox;
        const QString survey = surveyOverASheet(sandbox);
        const QString sheet = sandbox.file("sheet.json");
        // A section over other stations than the survey's.
        ProfileData other = profileOf({FittedQuantity::Tilt});
        other.stations = {0, 20, 40};
        const QString elsewhere =
            writtenFile(sandbox.file("elsewhere.json"),
                        QByteArray::fromStdString(inversionModelFile(patchedSection(other))));
        const struct {
            QStringList arguments;
            int status;
            QString error;
        } cases[] = {
            {{survey, sheet},
             1,
             sheet + ": the model holds no inversion section: its bodies are not one grid of "
                     "cells from the surface down\n"},
            {{survey, elsewhere},
             1,
             elsewhere + ": not inverted from profile 1's stations (the same data options as "
                         "invert's pick them)\n"},
            {{survey, elsewhere, "--profile", "9"},
             1,
             "profile 9: no two stations with kept records of the data asked for\n"},
            {{survey, elsewhere, "--error", "tilt=2,dip=3"},
             2,
             "--error takes QUANTITY=PCT,... with tilt, ellipticity, rho or phase and a "
             "percentage from 0.01 to 100\n"},
            {{survey, elsewhere, "--resistivity-range", "100:10"},
             2,
             "--resistivity-range takes MIN:MAX in ohm.m, both above 0 and MIN below MAX, such "
             "as 10:10000\n"},
        };
        const QString png = sandbox.file("refused.png");
        for (const auto& c : cases) {
            const CliResult run = runCliProgram(QStringList{"plot", "inversion"} + c.arguments +
                                                QStringList{"-o", png});
            QCOMPARE(run.status, c.status);
            QVERIFY2(run.error.contains(c.error), qPrintable(run.error));
            QVERIFY(!QFile::exists(png));
        }
    }

private:
    // The picture put in the scene, laid out at 900 x 700 and drawn.
    static QImage laidOutAndDrawn(QGraphicsScene& scene, InversionPicture* picture) {
        scene.addItem(picture);
        picture->resize(900, 700);
        for (int round = 0; round < 4; ++round)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QImage image(900, 700, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        scene.render(&painter, QRectF(0, 0, 900, 700), QRectF(0, 0, 900, 700));
        return image;
    }

    // The drawn pixel of a station and a value of the section's vertical axis.
    static QPoint sectionPixel(const ResistivitySectionChart& section, double station,
                               double value) {
        const QValueAxis& x = section.axisX();
        const QValueAxis& y = section.axisY();
        const QRectF area = section.plotArea();
        double down = (value - y.min()) / (y.max() - y.min());
        if (!y.isReverse()) down = 1 - down;
        return section
            .mapToScene(
                QPointF(area.left() + (station - x.min()) / (x.max() - x.min()) * area.width(),
                        area.top() + down * area.height()))
            .toPoint();
    }

    // Profile 1 over stations 0 to 100 every 25 m, from the model file sheet.json.
    static QString surveyOverASheet(const Sandbox& sandbox) {
        const QString model = writtenFile(sandbox.file("sheet.json"), R"({
            "layers": [{"resistivity": 1000}],
            "bodies": [{"sheet": {"x": 50, "top": 10, "extent": 60, "dip": 90, "thickness": 2,
                                  "conductance": 20}}],
            "stations": {"from": 0, "to": 100, "step": 25}, "frequencies": [19800, 23400]})");
        const QString survey = sandbox.file("survey.vlf");
        const CliResult run = runCliProgram({"generate", "--model", model, "-o", survey});
        if (run.status != 0) qWarning() << run.error;
        return survey;
    }
};

QTEST_MAIN(InversionPictureTest)
#include "inversion_picture_qtest.moc"
