// "Filtering..." and "Reject frequency...": their dialogs and what confirming
// them does to the rows.
#include "app_test_support.h"
#include "data/number_text.h"
#include "processing/ui/filter_dialog.h"
#include "processing/ui/frequency_dialog.h"
#include "test_support.h"

#include <QLineEdit>
#include <QPushButton>

using namespace veldro;
using namespace veldro::test;

namespace {

const QString kInvalid = QStringLiteral("Please enter valid numeric value ");

std::vector<MeasurementRecord> tiltRows() {
    return {
        record({.station = 0, .tilt = -12, .ellipticity = 3, .quality = 40, .hHorizontal = 1.25f}),
        record({.station = 25, .tilt = 30, .ellipticity = -7, .quality = 90, .hHorizontal = 2.5f})};
}

std::vector<MeasurementRecord> mixedRows() {
    std::vector<MeasurementRecord> rows = tiltRows();
    rows.push_back(record({.station = 50,
                           .resistivity = true,
                           .quality = 60,
                           .rho = 152.25f,
                           .phase = 45,
                           .eField = 10.5f,
                           .hField = 0.75f}));
    rows.push_back(record({.station = 75, .resistivity = true, .quality = 70, .rho = 980.5f}));
    rows.push_back(record({.station = 100, .kept = false, .resistivity = true, .rho = 200}));
    return rows;
}

// Answers the filter dialog: `fill` edits it, then OK is pressed.
void answerFilter(ScriptedUiServices& ui, std::function<void(TFilterFrm&)> fill) {
    ui.dialogAnswers.push_back([fill = std::move(fill)](QDialog& dialog) {
        auto& filter = dynamic_cast<TFilterFrm&>(dialog);
        fill(filter);
        filter.BitBtn1->click();
    });
}

void answerFrequency(ScriptedUiServices& ui, const QString& text) {
    ui.dialogAnswers.push_back([text](QDialog& dialog) {
        auto& frequency = dynamic_cast<TFreqFrm&>(dialog);
        QCOMPARE(frequency.Edit1->text(), QStringLiteral("0"));
        frequency.Edit1->setText(text);
        frequency.BitBtn1->click();
    });
}

class SeparatorScope {
public:
    explicit SeparatorScope(char separator) { setDecimalSeparator(separator); }
    ~SeparatorScope() { setDecimalSeparator('.'); }
};

} // namespace

class FilterDialogsTest : public QObject {
    Q_OBJECT
private slots:
    // Confirmed unchanged, the boxes read back what they show, in either
    // decimal separator, and ignore nothing.
    void boxesShowTheKeptRangesAndConfirmUnchanged() {
        for (const auto& [separator, hHorizontal] :
             {std::pair{'.', "1.2500"}, std::pair{',', "1,2500"}}) {
            SeparatorScope scope(separator);
            Session session;
            auto& [sandbox, ui, window] = session;
            openThroughDialog(window, ui, writeDataFile(sandbox.file("tilt.vlf"), tiltRows()));
            QStringList texts;
            std::vector<bool> enabled;
            answerFilter(ui, [&](TFilterFrm& filter) {
                for (int box = 1; box <= 20; ++box) {
                    texts << filter.edit(box)->text();
                    enabled.push_back(filter.edit(box)->isEnabled());
                }
            });
            action(window, "Filtering1")->trigger();
            QCOMPARE(ui.dialogTitles, QStringList{"Veldro"});
            QCOMPARE(texts.mid(0, 2), (QStringList{"40" + QString(separator) + "0000",
                                                   "90" + QString(separator) + "0000"}));
            QCOMPARE(texts[2], "-12" + QString(separator) + "0000");
            QCOMPARE(texts[6], QString::fromLatin1(hHorizontal));
            QCOMPARE(texts.mid(12), QStringList(8, QStringLiteral("0")));
            std::vector<bool> tiltBoxes(20, false); // Q and the five tilt-mode pairs
            std::fill_n(tiltBoxes.begin(), 12, true);
            QCOMPARE(enabled, tiltBoxes);
            QVERIFY(ui.asked.empty());
            QCOMPARE(keptFlags(window), (std::vector<bool>{true, true}));
            QVERIFY(!window.dataSaved());
        }
    }

    void narrowedRhoIgnoresResistivityRowsOnly() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("mixed.vlf"), mixedRows()));
        answerFilter(ui, [](TFilterFrm& filter) {
            filter.edit(13)->setText("100"); // tilt rows hold 0 there: never tested
            filter.edit(14)->setText("500");
        });
        action(window, "Filtering1")->trigger();
        const std::vector<bool> expected{true, true, true, false, false};
        QCOMPARE(keptFlags(window), expected);
        QCOMPARE(recordFlags(*window.store()), expected);
        QCOMPARE(statusText(window), QStringLiteral("Data :3 / 5"));
        QVERIFY(!window.dataSaved());
    }

    void badBoxSaysSoAndKeepsTheDialogOpen() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("tilt.vlf"), tiltRows()));
        bool openAfterBadBox = false;
        bool badBoxFocused = false;
        answerFilter(ui, [&](TFilterFrm& filter) {
            filter.edit(2)->setText("50");
            filter.edit(3)->setText("-12.0.0");
            filter.BitBtn1->click();
            openAfterBadBox = filter.isVisible();
            badBoxFocused = filter.focusWidget() == filter.edit(3);
            filter.edit(3)->setText("-20");
        });
        action(window, "Filtering1")->trigger();
        QCOMPARE(ui.texts(), QStringList{kInvalid});
        QCOMPARE(ui.asked[0].message.caption, std::string("Min value of Tilt.ver.(%)"));
        QVERIFY(openAfterBadBox);
        QVERIFY(badBoxFocused);
        QCOMPARE(keptFlags(window), (std::vector<bool>{true, false}));
    }

    // A minimum above its maximum would ignore every row silently: refused,
    // naming the row, with its box in focus; nothing changes.
    void aReversedRangeIsRefused() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("tilt.vlf"), tiltRows()));
        bool openAfterRefusal = false;
        bool minimumFocused = false;
        ui.dialogAnswers.push_back([&](QDialog& dialog) {
            auto& filter = dynamic_cast<TFilterFrm&>(dialog);
            filter.edit(1)->setText("95");
            filter.edit(2)->setText("72");
            filter.BitBtn1->click();
            openAfterRefusal = filter.isVisible();
            minimumFocused = filter.focusWidget() == filter.edit(1);
            filter.BitBtn2->click();
        });
        action(window, "Filtering1")->trigger();
        QCOMPARE(ui.texts(), QStringList{"Q (%): the minimum is above the maximum, which would "
                                         "ignore every row it tests."});
        QVERIFY(openAfterRefusal);
        QVERIFY(minimumFocused);
        QCOMPARE(statusText(window), QStringLiteral("Data :2 / 2"));
        QVERIFY(window.dataSaved());
    }

    void boxesBeforeABadOneAreStored() {
        RangeScan scan;
        scan.ranges.fill(0);
        RecordingMessages messages;
        TFilterFrm filter(scan, messages);
        filter.edit(1)->setText("5");
        filter.edit(2)->setText("x");
        filter.BitBtn1Click();
        QCOMPARE(scan.ranges[0], 5.0f);
        QCOMPARE(messages.shown.size(), 1u);
        QCOMPARE(filter.result(), int(QDialog::Rejected));
    }

    void helpShowsFilteringAndCancelChangesNothing() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui, writeDataFile(sandbox.file("tilt.vlf"), tiltRows()));
        ui.dialogAnswers.push_back([](QDialog& dialog) {
            auto& filter = dynamic_cast<TFilterFrm&>(dialog);
            filter.edit(2)->setText("50");
            filter.BitBtn3->click();
            filter.BitBtn2->click();
        });
        action(window, "Filtering1")->trigger();
        QCOMPARE(ui.helpContexts, std::vector<int>{1600});
        QCOMPARE(keptFlags(window), (std::vector<bool>{true, true}));
        QVERIFY(window.dataSaved());
    }

    // Whole hertz match within 0.001, whatever the mode and frequency number;
    // rows ignored before stay ignored.
    void rejectedFrequencyIgnoresItsRows() {
        const std::vector<MeasurementRecord> rows{
            record({.station = 0, .frequencyNumber = 1}),
            record({.station = 25, .frequencyNumber = 2, .resistivity = true}),
            record({.station = 50, .frequency = 19800}), record({.station = 75, .kept = false}),
            record({.station = 100, .frequency = 15999})};
        for (const auto& [entered, kept] :
             {std::pair{"16000", std::vector<bool>{false, false, true, false, true}},
              std::pair{"16000.0005", std::vector<bool>{false, false, true, false, true}},
              std::pair{"16000.5", std::vector<bool>{true, true, true, false, true}}}) {
            Session session;
            auto& [sandbox, ui, window] = session;
            openThroughDialog(window, ui, writeDataFile(sandbox.file("f.vlf"), rows));
            answerFrequency(ui, QString::fromLatin1(entered));
            action(window, "FrequencyDisabler1")->trigger();
            QCOMPARE(ui.dialogTitles, QStringList{"Veldro"});
            QCOMPARE(keptFlags(window), kept);
            QVERIFY(!window.dataSaved());
        }
    }

    void badFrequencySaysSoAndKeepsTheDialogOpen() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openThroughDialog(window, ui,
                          writeDataFile(sandbox.file("f.vlf"), {record({.frequency = 16000})}));
        bool openAfterBadText = false;
        ui.dialogAnswers.push_back([&](QDialog& dialog) {
            auto& frequency = dynamic_cast<TFreqFrm&>(dialog);
            frequency.Edit1->setText("16 kHz");
            frequency.BitBtn1->click();
            openAfterBadText = frequency.isVisible();
            frequency.BitBtn2->click();
        });
        action(window, "FrequencyDisabler1")->trigger();
        QCOMPARE(ui.texts(), QStringList{kInvalid});
        QVERIFY(openAfterBadText);
        QCOMPARE(keptFlags(window), std::vector<bool>{true});
        QVERIFY(window.dataSaved());
    }
};

QTEST_MAIN(FilterDialogsTest)
#include "filter_dialogs_qtest.moc"
