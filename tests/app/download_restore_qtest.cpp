// A download journal that was never saved, offered when the window starts:
// restored, kept for later, or restored up to the damage at its end.
#include "link/download_journal.h"
#include "link_test_support.h"

#include <QLabel>
#include <filesystem>

using namespace veldro;
using namespace veldro::test;

namespace {

constexpr std::time_t kStart = 1764000000;
const QString kDemoSurvey = QStringLiteral(VELDRO_GOLDEN_DIR "/../../examples/demo_survey.vlf");

// A journal of `count` records of a survey, as a download killed before its
// end leaves it.
std::string killedDownloadJournal(int count) {
    DownloadJournal journal(downloadJournalFolder(), kStart);
    for (const MeasurementRecord& r : simulatedSurvey(count, 4)) journal.append(r);
    journal.close();
    return journal.path();
}

// The window as the program starts it: first shown, it offers the journals.
void start(Session& session) {
    session.window.restoreDownloadsOnFirstShow(downloadJournalFolder());
    session.window.show();
    QTRY_VERIFY(!session.ui.asked.empty());
    QTRY_VERIFY(!session.window.session().busy());
}

QString question(int records, const std::string& path) {
    return QStringLiteral("A download of %1 (%2 records) was not saved. Restore it ?\n%3")
        .arg(QString::fromStdString(journalStartText(kStart)))
        .arg(records)
        .arg(QString::fromStdString(path));
}

} // namespace

class DownloadRestoreTest : public QObject {
    Q_OBJECT
private slots:
    // Restored, the records are unsaved data; saving them marks the journal done.
    void yesRestoresTheRecordsUnsavedAndTheSaveEndsTheJournal() {
        Session session;
        const std::string path = killedDownloadJournal(40);
        session.ui.answers = {QMessageBox::Yes};
        start(session);

        QCOMPARE(session.ui.texts(), QStringList{question(40, path)});
        QCOMPARE(session.ui.asked[0].message.caption, std::string("Restore"));
        QCOMPARE(session.ui.asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY(session.window.store());
        QVERIFY(recordsOf(*session.window.store()) == simulatedSurvey(40, 4));
        QCOMPARE(session.window.store()->commentText(), MeasurementStore(kStart).commentText());
        QCOMPARE(session.window.rowList().size(), 40);
        QVERIFY(!session.window.dataSaved());
        QVERIFY(readJournal(path).pending());

        session.ui.saveAnswers.push_back(session.sandbox.file("restored.vlf"));
        action(session.window, "EnregistrerSous")->trigger();
        QVERIFY(recordsInFile(session.sandbox.file("restored.vlf"), session.ui) ==
                simulatedSurvey(40, 4));
        QVERIFY(readJournal(path).done);
    }

    // A file named on the command line opens after the answer, not behind the box.
    void noKeepsTheJournalForLaterAndTheFileNamedOpensAfter() {
        Session session;
        const std::string path = killedDownloadJournal(40);
        session.ui.answers = {QMessageBox::No};
        bool dataSetBehindTheQuestion = false;
        session.ui.whenAsked = [&] {
            QCoreApplication::processEvents(); // as the modal box's own loop does
            dataSetBehindTheQuestion = session.window.store();
        };
        session.window.openOnFirstShow({kDemoSurvey});
        start(session);

        QCOMPARE(session.ui.texts(), QStringList{question(40, path)});
        QVERIFY(!dataSetBehindTheQuestion);
        QTRY_VERIFY(session.window.store());
        QCOMPARE(session.window.store()->count(), 1500);
        QVERIFY(readJournal(path).pending());
    }

    // Cut inside its 31st record: the 30 whole ones come back, and the box
    // after says what was lost. Dropped unsaved, the journal is done.
    void damagedEndRestoresTheWholeRecordsBeforeAndSaysTheRest() {
        Session session;
        const std::string path = killedDownloadJournal(40);
        std::filesystem::resize_file(path, kJournalHeaderSize + 30 * kJournalEntrySize + 20);
        session.ui.answers = {QMessageBox::Yes};
        start(session);

        QCOMPARE(session.ui.texts(),
                 (QStringList{question(30, path),
                              QStringLiteral("The journal %1 is damaged after record 30:\nits "
                                             "last 20 bytes could not be restored")
                                  .arg(QString::fromStdString(path))}));
        QCOMPARE(session.ui.asked[1].message.icon, MessageIcon::Warning);
        auto expected = simulatedSurvey(40, 4);
        expected.resize(30);
        QVERIFY(recordsOf(*session.window.store()) == expected);
        QVERIFY(!session.window.dataSaved());

        session.ui.answers = {QMessageBox::Yes};      // drop the unsaved records
        action(session.window, "Ouvrir1")->trigger(); // and cancel the open dialog
        QVERIFY(!readJournal(path).done);
        session.ui.answers = {QMessageBox::Yes};
        session.ui.openAnswers.push_back(kDemoSurvey);
        action(session.window, "Ouvrir1")->trigger();
        QCOMPARE(session.window.store()->count(), 1500);
        QVERIFY(readJournal(path).done);
    }

    void withoutAJournalNothingIsAsked() {
        Session session;
        session.window.restoreDownloadsOnFirstShow(downloadJournalFolder());
        session.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&session.window));
        QTest::qWait(50);
        QVERIFY(session.ui.asked.empty());
        QVERIFY(!session.window.store());
    }
};

QTEST_MAIN(DownloadRestoreTest)
#include "download_restore_qtest.moc"
