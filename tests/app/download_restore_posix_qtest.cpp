// A download journal that was never saved, offered when the window starts:
// restored, kept for later, or restored up to the damage at its end.
#include "link/download_journal.h"
#include "link_test_support.h"

#include <QLabel>
#include <filesystem>
#include <sys/stat.h>

using namespace veldro;
using namespace veldro::test;

namespace {

constexpr std::time_t kStart = 1764000000;
const QString kDemoSurvey = QStringLiteral(VELDRO_GOLDEN_DIR "/../../examples/demo_survey.vlf");

// A journal of `count` records of a survey, as a download killed before its
// end leaves it.
std::string killedDownloadJournal(int count, std::time_t start = kStart) {
    DownloadJournal journal(downloadJournalFolder(), start);
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
        // The start as the question says it, not the locale's short date (TZ=UTC).
        QCOMPARE(session.window.store()->commentText(),
                 std::string("Transferred at 2025-11-24 16:00:00"));
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

    // No download journals more than a data set's records, but a journal may
    // hold them: the rest goes to a second file with the first, which is
    // offered, and only then is the journal done.
    void recordsPastADataSetGoToASecondFileThatIsOffered() {
        Session session;
        const std::string path = killedDownloadJournal(70000);
        session.ui.answers = {QMessageBox::Yes};
        start(session);

        QCOMPARE(session.ui.texts(),
                 (QStringList{question(70000, path),
                              QStringLiteral("This download holds 70000 records, more than a "
                                             "data set takes: the first 64000 are open.\nSaving "
                                             "them saves the other 6000 in a second file beside "
                                             "them, its name ending in -2.")}));
        const auto survey = simulatedSurvey(70000, 4);
        QVERIFY(recordsOf(*session.window.store()) ==
                std::vector(survey.begin(), survey.begin() + 64000));

        session.ui.asked.clear();
        session.ui.answers = {QMessageBox::Yes};
        session.ui.saveAnswers.push_back(session.sandbox.file("restored.vlf"));
        action(session.window, "EnregistrerSous")->trigger();
        const QString second = session.sandbox.file("restored-2.vlf");
        QCOMPARE(session.ui.texts(),
                 QStringList{QStringLiteral("The other 6000 records of this download were saved "
                                            "to\n%1\nOpen them ?")
                                 .arg(second)});
        QVERIFY(recordsInFile(session.sandbox.file("restored.vlf"), session.ui) ==
                std::vector(survey.begin(), survey.begin() + 64000));
        QVERIFY(recordsInFile(second, session.ui) ==
                std::vector(survey.begin() + 64000, survey.end()));
        QVERIFY(readJournal(path).done);
        QCOMPARE(session.window.store()->count(), 6000);
    }

    // However many were not saved, one question lists them and offers the newest.
    void severalJournalsAreListedInOneQuestion() {
        Session session;
        std::vector<std::string> paths;
        for (int day = 0; day < 12; ++day)
            paths.push_back(killedDownloadJournal(day + 1, kStart - day * 24 * 60 * 60));
        session.ui.answers = {QMessageBox::Yes};
        start(session);

        QString expected = QStringLiteral("12 downloads were not saved:\n");
        for (int day = 0; day < 10; ++day)
            expected +=
                QStringLiteral("2025-11-%1 16:00:00 (%2 records)\n").arg(24 - day).arg(day + 1);
        expected +=
            QStringLiteral("and 2 more\nRestore the newest ?\n") + QString::fromStdString(paths[0]);
        QCOMPARE(session.ui.texts(), QStringList{expected});
        QCOMPARE(session.window.store()->count(), 1);
        QVERIFY(readJournal(paths[1]).pending());
    }

    // A pipe among the journals would leave the window an unpainted frame.
    void pipeAmongTheJournalsIsPassedOver() {
        Session session;
        const std::string path = killedDownloadJournal(40);
        QVERIFY(::mkfifo((downloadJournalFolder() + "/pipe.vdj").c_str(), 0600) == 0);
        session.ui.answers = {QMessageBox::No};
        start(session);
        QCOMPARE(session.ui.texts(), QStringList{question(40, path)});
    }

    void journalsFolderThatCannotBeReadIsSaid() {
        Session session;
        const std::string folder = downloadJournalFolder();
        std::filesystem::create_directories(std::filesystem::path(folder).parent_path());
        writeText(QString::fromStdString(folder), "a file where the journals' folder would be");
        start(session);
        QCOMPARE(session.ui.texts(),
                 QStringList{QStringLiteral("The download journals cannot be read:\nCannot read "
                                            "%1: Not a directory")
                                 .arg(QString::fromStdString(folder))});
        QCOMPARE(session.ui.asked[0].message.icon, MessageIcon::Warning);
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
#include "download_restore_posix_qtest.moc"
