// The stations' positions in the window: "File" > "Positions..." and the
// positions file read beside a data file as it opens.
#include "app_test_support.h"

using namespace veldro;
using namespace veldro::test;

namespace {

const QByteArray kHeader = "profile,station,easting,northing,elevation\n";

// Profile 1 at stations 0, 25 and 50, profile 2 at station 0.
std::vector<MeasurementRecord> survey() {
    return joined(profileRecords(1, 3), profileRecords(2, 1));
}

} // namespace

class PositionsTest : public QObject {
    Q_OBJECT
private slots:
    void positionsMenuSaysHowTheFileMatches() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openSurvey(session, survey());
        QVERIFY(action(window, "Positions")->isEnabled());
        QCOMPARE(caption(action(window, "Positions")), QStringLiteral("Positions..."));

        const QString whole = sandbox.file("whole.csv"), part = sandbox.file("part.csv"),
                      bad = sandbox.file("bad.csv");
        writeText(whole, kHeader + "1,0,1,2,3\n1,25,1,2,3\n1,50,1,2,3\n2,0,,,4\n");
        writeText(part, kHeader + "1,0,1,2,3\n2,0,,,4\n2,25,,,4\n9,0,,,4\n9,25,,,4\n");
        writeText(bad, kHeader + "1,0,1,2,3\n1,25,1,,3\n");
        const struct {
            QString file;
            std::string text;
            MessageIcon icon;
            std::size_t positions; // held after it
        } cases[] = {
            {whole, "Positions from " + whole.toStdString() + "\n4 of 4 stations matched",
             MessageIcon::Information, 4},
            // A refused file leaves the positions as they were.
            {bad,
             "Positions not read from " + bad.toStdString() + ":\nline 3: easting without northing",
             MessageIcon::Error, 4},
            {part,
             "Positions from " + part.toStdString() +
                 "\n2 of 4 stations matched\nStations without a position:\nprofile 1: 25, 50\n"
                 "Rows matching no station:\nprofile 2: 25\nprofile 9: 0, 25",
             MessageIcon::Warning, 5},
        };
        for (const auto& c : cases) {
            ui.asked.clear();
            ui.openAnswers.push_back(c.file);
            action(window, "Positions")->trigger();
            QCOMPARE(ui.asked.size(), 1u);
            QCOMPARE(ui.asked[0].message.text, c.text);
            QCOMPARE(ui.asked[0].message.caption, std::string("Positions"));
            QCOMPARE(ui.asked[0].message.icon, c.icon);
            QCOMPARE(window.session().positions().size(), c.positions);
        }
        // The dialog offers the file beside the data, and cancelling it changes nothing.
        ui.asked.clear();
        action(window, "Positions")->trigger();
        QVERIFY(ui.asked.empty());
        QCOMPARE(window.session().positions().size(), 5u);
        const FileDialogRequest& request = ui.openRequests.back();
        QCOMPARE(request.filter, QStringLiteral("Positions file  (*.csv)|*.csv|All (*.*)|*.*"));
        QCOMPARE(request.directory, sandbox.path());
        QCOMPARE(request.fileName, QStringLiteral("survey.positions.csv"));
    }

    void theFileBesideTheDataIsReadWithIt() {
        Session session;
        auto& [sandbox, ui, window] = session;
        window.show();
        const QString line1 = writeDataFile(sandbox.file("line1.vlf"), survey());
        writeText(sandbox.file("line1.positions.csv"), kHeader + "1,0,1,2,3\n1,25,1,2,3\n");
        openThroughDialog(window, ui, line1);
        QVERIFY(ui.asked.empty());
        QCOMPARE(window.session().positions().size(), 2u);
        QCOMPARE(part<QLabel>(window, "StatusPanel1")->text(),
                 QStringLiteral("Positions from line1.positions.csv: 2 of 4 stations matched"));

        // Another data set goes without the first one's positions.
        openThroughDialog(window, ui, writeDataFile(sandbox.file("line2.vlf"), survey()));
        QVERIFY(ui.asked.empty());
        QVERIFY(window.session().positions().empty());

        // A refused file is said; the data set opens without positions.
        const QString line3 = writeDataFile(sandbox.file("line3.vlf"), survey());
        writeText(sandbox.file("line3.positions.csv"), kHeader + "1,0,1,2,3\n\n1,x,1,2,3\n");
        openThroughDialog(window, ui, line3);
        QCOMPARE(ui.texts(),
                 QStringList{"Positions not read from " + sandbox.file("line3.positions.csv") +
                             ":\nline 4: station \"x\" is not a whole number from "
                             "-32768 to 32767"});
        QCOMPARE(ui.asked[0].message.icon, MessageIcon::Warning);
        QCOMPARE(window.session().filePath(), line3);
        QVERIFY(window.session().positions().empty());
    }
};

QTEST_MAIN(PositionsTest)
#include "positions_qtest.moc"
