// "2D inversion...": the colour ends of the sections in the result window.
#include "interpretation/ui/inversion_picture.h"
#include "interpretation/ui/resistivity_section_chart.h"
#include "inversion_runs.h"
#include "maps/colour_ends.h"

#include <QLineEdit>
#include <cmath>

using namespace veldro;
using namespace veldro::test;

class InversionColoursTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> s;

private slots:
    void init() { s = std::make_unique<Session>(); }
    void cleanup() { s.reset(); }

    // The sections' colours end at each one's own range, at the range over
    // every profile's section, or at typed ends (rounded out to 1, 2 or 5
    // times a power of ten), so that profiles compare side by side.
    void sectionsAreColouredOverTheirOwnRangeACommonOneOrTypedEnds() {
        GroundModel conductive;
        conductive.layers = {{0, 30}};
        conductive.stations = {0, 25, 50, 75, 100};
        conductive.frequencies = {19800, 23400};
        openSurvey(*s, joined(sheetSurvey(), modelSurvey(conductive, computeResponse(conductive),
                                                         {.profile = 3})));
        runInversion(
            *s,
            [](QDialog& dialog) {
                setChoices(dialog, true, 0, 2, 1000, 1);
                part<QListWidget>(dialog, "Profiles")->item(0)->setCheckState(Qt::Unchecked);
            },
            [&](InversionWindow& window) {
                waitForTheEnd(window);
                auto* profiles = part<QListWidget>(window, "Profiles");
                const auto shownEnds = [&](int row) {
                    profiles->setCurrentRow(row);
                    const ResistivityScale& scale = window.picture()->section().scale();
                    return std::pair(scale.lowest(), scale.highest());
                };
                const auto sheet = shownEnds(0), ground = shownEnds(1);
                QVERIFY(sheet != ground);
                part<QComboBox>(window, "ColourEnds")->setCurrentIndex(1);
                const std::pair common(std::min(sheet.first, ground.first),
                                       std::max(sheet.second, ground.second));
                QCOMPARE(shownEnds(1), common);
                QCOMPARE(shownEnds(0), common);
                auto* low = part<QLineEdit>(window, "ColourMin");
                auto* high = part<QLineEdit>(window, "ColourMax");
                QCOMPARE(low->text(), QString::number(std::pow(10, common.first), 'g', 6));

                part<QComboBox>(window, "ColourEnds")->setCurrentIndex(2);
                low->setText(QStringLiteral("3"));
                high->setText(QStringLiteral("4000"));
                emit high->editingFinished();
                QCOMPARE(shownEnds(1), std::pair(std::log10(2.0), std::log10(5000.0)));
                low->setText(QStringLiteral("0"));
                emit low->editingFinished();
                QCOMPARE(s->ui.texts(), QStringList{kResistivityEndsWanted});
                QCOMPARE(low->text(), QStringLiteral("3"));
                QCOMPARE(shownEnds(0), std::pair(std::log10(2.0), std::log10(5000.0)));

                part<QComboBox>(window, "ColourEnds")->setCurrentIndex(0);
                QCOMPARE(shownEnds(1), ground);
            });
    }
};

QTEST_MAIN(InversionColoursTest)
#include "inversion_colours_qtest.moc"
