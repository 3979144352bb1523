// The report viewer and its commands: "View" -> "File...", "Formated" and
// "Edit comments"; saving as text or rich text, printing, restyling.
#include "../../app/app_test_support.h"
#include "export/rtf.h"

#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTextEdit>
#include <QToolButton>

using namespace veldro;
using namespace veldro::test;

namespace {

const QString kSaveEntries = QStringLiteral("Fichier RTF (*.RTF)|*.RTF|Fichier texte (*.TXT)|*.TXT|"
                                            "Tous les fichiers (*.*)|*.*");

QTextEdit* memo(QDialog& dialog) {
    return part<QTextEdit>(dialog, "ReportMemo");
}

void click(QDialog& dialog, const char* button) {
    part<QToolButton>(dialog, button)->click();
}

// Runs `act` on the viewer the next command opens.
void inViewer(ScriptedUiServices& ui, std::function<void(QDialog&)> act) {
    ui.dialogAnswers.push_back(std::move(act));
}

// Views `file` through "View" -> "File...", running `act` on the viewer.
void viewFile(Session& session, const QString& file, std::function<void(QDialog&)> act = {}) {
    session.ui.openAnswers.push_back(file);
    if (act) inViewer(session.ui, std::move(act));
    action(session.window, "File1")->trigger();
}

// A survey of a kept tilt row, an ignored row and a kept resistivity row,
// with a comment of two lines, open in the window.
QString openSurvey(Session& session) {
    const MeasurementRecord tilt =
        record({.profile = 3, .station = 150, .tilt = -12, .quality = 97, .hHorizontal = 45.678f});
    const QString file = writeDataFile(
        session.sandbox.file("line 3.vlf"),
        {tilt, record({.profile = 3, .station = 175, .kept = false}),
         record({.profile = 3, .station = 200, .resistivity = true, .rho = 152.25f, .phase = 45})},
        "Lev\xE9 north\r\nsecond line");
    openThroughDialog(session.window, session.ui, file);
    return file;
}

QByteArray cliReport(const QString& survey) {
    QProcess cli;
    const QString out = QFileInfo(survey).dir().filePath(QStringLiteral("cli-report.txt"));
    cli.start(QStringLiteral(VELDRO_CLI), {QStringLiteral("export"), QStringLiteral("report"),
                                           survey, QStringLiteral("-o"), out});
    if (!cli.waitForFinished() || cli.exitCode() != 0) return {};
    return fileBytes(out);
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT
private slots:
    void fileViewPutsTheExtensionFirstInTheSaveFilter_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("entry");
        QTest::newRow("text file") << "notes.txt"
                                   << ".txt|*.txt|";
        QTest::newRow("no extension") << "README"
                                      << "|*|";
        QTest::newRow("dot in a folder") << "v1.2/README"
                                         << "|*|";
    }
    void fileViewPutsTheExtensionFirstInTheSaveFilter() {
        QFETCH(QString, name);
        QFETCH(QString, entry);
        Session session;
        QDir(session.sandbox.path()).mkpath(QStringLiteral("v1.2"));
        const QString file = session.sandbox.file(name);
        writeText(file, "Tilt 12\xB0\r\nH 3 \xB5"
                        "A/m\r\n");
        QString shown;
        QStringList suffixes; // of the four entries, as the user picks them
        viewFile(session, file, [&](QDialog& viewer) {
            shown = memo(viewer)->toPlainText();
            click(viewer, "SaveBtn"); // cancelled
            for (int index : {1, 2, 3, 4})
                suffixes << session.ui.saveRequests.at(0).suffixOfFilter(index);
        });
        QCOMPARE(session.ui.openRequests.at(0).filter,
                 QStringLiteral("Veldro data file  (*.vlf)|*.vlf|Spreadsheet  (*.txt)|*.txt|"
                                "Veldro old format data file  (*.bru)|*.bru|All  (*.*)|*.*"));
        QCOMPARE(session.ui.dialogTitles, QStringList{QStringLiteral("Report")});
        QCOMPARE(shown, QStringLiteral("Tilt 12°\nH 3 µA/m\n"));
        const FileDialogRequest& save = session.ui.saveRequests.at(0);
        QCOMPARE(save.filter, entry + kSaveEntries);
        QCOMPARE(save.filterIndex, 1);
        QCOMPARE(save.directory, QDir::currentPath());
        QCOMPARE(save.defaultSuffix, QStringLiteral("TXT"));
        QCOMPARE(suffixes, (QStringList{"TXT", "RTF", "TXT", "TXT"}));
    }

    void dataFilesAreNotViewed() {
        Session session;
        for (const char* name : {"DATA.VLF", "data.Vlf"}) {
            const QString file = writeDataFile(session.sandbox.file(name), profileRecords(1, 2));
            viewFile(session, file);
        }
        QVERIFY(session.ui.dialogTitles.isEmpty());
        QVERIFY(session.ui.asked.empty());
    }

    void saveWritesRichTextByTheExtensionAlone_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("rich");
        QTest::newRow("report.rtf") << "report.rtf" << true;
        QTest::newRow("REPORT.RTF") << "REPORT.RTF" << true;
        QTest::newRow("report.txt") << "report.txt" << false;
        QTest::newRow("rtfdir/report.txt") << "rtfdir/report.txt" << false;
    }
    void saveWritesRichTextByTheExtensionAlone() {
        QFETCH(QString, name);
        QFETCH(bool, rich);
        Session session;
        QDir(session.sandbox.path()).mkpath(QStringLiteral("rtfdir"));
        const QByteArray text = "#7\r\n  Tilt.hor(\xB0) : -4 \r\n\r\n";
        const QString source = session.sandbox.file(QStringLiteral("bt_temp.txt"));
        writeText(source, text);
        const QString target = session.sandbox.file(name);
        session.ui.saveAnswers.push_back(target);
        QString family;
        viewFile(session, source, [&family](QDialog& viewer) {
            family = memo(viewer)->font().family();
            click(viewer, "SaveBtn");
        });
        const QByteArray saved = fileBytes(target);
        if (!rich) {
            QCOMPARE(saved, text);
            return;
        }
        const StyledText runs = readRtf(saved.toStdString());
        QCOMPARE(runs.size(), 1u);
        QCOMPARE(runs.run(0).text, std::string_view("#7\n  Tilt.hor(\xC2\xB0) : -4 \n\n"));
        QCOMPARE(QString::fromStdString(runs.run(0).style.font.text()), family);
        QCOMPARE(runs.run(0).style.halfPoints, 20);
    }

    void restyledPartsAreSavedAsRichText() {
        Session session;
        const QString source = session.sandbox.file(QStringLiteral("notes.txt"));
        writeText(source, "plain bold\r\n");
        QFont chosen(QStringLiteral("DejaVu Serif"), 14);
        chosen.setBold(true);
        session.ui.fontAnswers.push_back(chosen);
        session.ui.colourAnswers.push_back(QColor(200, 16, 32));
        session.ui.saveAnswers.push_back(session.sandbox.file(QStringLiteral("styled.rtf")));
        viewFile(session, source, [](QDialog& viewer) {
            QTextCursor cursor = memo(viewer)->textCursor();
            cursor.setPosition(6);
            cursor.setPosition(10, QTextCursor::KeepAnchor);
            memo(viewer)->setTextCursor(cursor);
            click(viewer, "FontBtn");
            click(viewer, "ColourBtn");
            click(viewer, "SaveBtn");
        });
        QCOMPARE(session.ui.fontsOffered.at(0).pointSize(), 10);
        QCOMPARE(session.ui.coloursOffered.at(0), QColor(Qt::black));
        const StyledText runs =
            readRtf(fileBytes(session.sandbox.file("styled.rtf")).toStdString());
        std::string text;
        for (std::size_t r = 0; r < runs.size(); ++r) text += runs.run(r).text;
        QCOMPARE(text, std::string("plain bold\n"));
        QCOMPARE(runs.run(0).text, std::string_view("plain "));
        QCOMPARE(runs.run(1).text.substr(0, 4), std::string_view("bold"));
        const TextStyle& bold = runs.run(1).style;
        QCOMPARE(bold.font.text(), std::string("DejaVu Serif"));
        QCOMPARE(bold.halfPoints, 28);
        QVERIFY(bold.bold && !bold.italic && !bold.underline);
        QVERIFY(bold.colour == (Rgb{200, 16, 32}));
        QVERIFY(!runs.run(0).style.bold && !runs.run(0).style.colour);
        QCOMPARE(runs.run(0).style.halfPoints, 20);
    }

    void closingAsksOnlyWhenChangesWereNotSaved() {
        Session session;
        const QString source = session.sandbox.file(QStringLiteral("notes.txt"));
        writeText(source, "text\r\n");
        session.ui.answers = {QMessageBox::No, QMessageBox::Yes};
        bool openAfterNo = false, openAfterYes = true, openUnchanged = true;
        viewFile(session, source, [&](QDialog& viewer) {
            memo(viewer)->insertPlainText(QStringLiteral("more "));
            viewer.reject();
            openAfterNo = viewer.isVisible();
            viewer.reject();
            openAfterYes = viewer.isVisible();
        });
        viewFile(session, source, [&](QDialog& viewer) {
            viewer.reject();
            openUnchanged = viewer.isVisible();
        });
        QCOMPARE(session.ui.texts(),
                 QStringList(2, QStringLiteral("Close without saving the changes?")));
        QVERIFY(openAfterNo);
        QVERIFY(!openAfterYes);
        QVERIFY(!openUnchanged);
    }

    void printGoesThroughThePrintDialog() {
        Session session;
        const QString source = session.sandbox.file(QStringLiteral("notes.txt"));
        writeText(source, "page one\r\n");
        const QString pdf = session.sandbox.file(QStringLiteral("printed.pdf"));
        session.ui.printerAnswers.push_back(pdf);
        viewFile(session, source, [](QDialog& viewer) { click(viewer, "PrintBtn"); });
        QCOMPARE(session.ui.printerAsked, std::vector<bool>{true});
        QVERIFY(fileBytes(pdf).startsWith("%PDF"));
    }

    void formatedWritesTheWorkingFilesTheCliWrites() {
        Session session;
        auto& [sandbox, ui, window] = session;
        const QString survey = openSurvey(session);
        QString firstLine;
        inViewer(ui, [&](QDialog& viewer) {
            firstLine = memo(viewer)->toPlainText().section(u'\n', 0, 0);
            QVERIFY(!part<QWidget>(window, "TabMesureCLstView")->isHidden());
        });
        action(window, "Formatedtype1")->trigger();
        QCOMPARE(ui.dialogTitles, QStringList{QStringLiteral("Report")});
        QCOMPARE(firstLine, survey);
        const QByteArray expected = cliReport(survey);
        QVERIFY(
            expected.startsWith(survey.toUtf8() + "\r\nLev\xE9 north\r\nsecond line\r\n\r\n#1"));
        QCOMPARE(fileBytes(sandbox.file(QStringLiteral("bt_temp.txt"))), expected);
        QCOMPARE(fileBytes(sandbox.file(QStringLiteral("temporary.txt"))),
                 expected.mid(expected.indexOf("\r\n\r\n#1") + 2));
        QCOMPARE(statusText(window), QStringLiteral("Data :2 / 3"));
        QVERIFY(window.dataSaved());
    }

    void unwritableWorkingFileSaysSoAndGivesTheWindowBack() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openSurvey(session);
        QDir(sandbox.path()).mkdir(QStringLiteral("bt_temp.txt"));
        action(window, "Formatedtype1")->trigger();
        QVERIFY(ui.dialogTitles.isEmpty());
        QCOMPARE(ui.asked.size(), 1u);
        QCOMPARE(ui.asked[0].message.caption, std::string("Error"));
        QVERIFY(ui.texts()[0].startsWith(QStringLiteral("The report could not be written: ")));
        QVERIFY(ui.texts()[0].contains(QStringLiteral("bt_temp.txt")));
        QVERIFY(!part<QWidget>(window, "TabMesureCLstView")->isHidden());
        for (const char* name : {"Fichier1", "Voir2", "Processing1", "ExporterEtEnregistrer"})
            QVERIFY(part<QMenu>(window, name)->menuAction()->isEnabled());
        QVERIFY(action(window, "Comments1")->isEnabled());
        QCOMPARE(statusText(window), QStringLiteral("Data :2 / 3"));
    }

    void commentSaveKeeps1023CharactersSaysWhatWasCutAndMarksTheDataUnsaved() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openSurvey(session);
        QString shown;
        bool openAfterSave = false;
        inViewer(ui, [&](QDialog& viewer) {
            shown = memo(viewer)->toPlainText();
            memo(viewer)->setPlainText(QString(1499, u'x') + QStringLiteral("Ω"));
            click(viewer, "SaveBtn");
            openAfterSave = viewer.isVisible();
        });
        action(window, "Comments1")->trigger();
        QCOMPARE(shown, QStringLiteral("Levé north\nsecond line"));
        QVERIFY(openAfterSave);
        QVERIFY(ui.saveRequests.empty());
        QCOMPARE(ui.texts(), QStringList{QStringLiteral(
                                 "The comment holds at most 1023 characters: the last 477 "
                                 "characters were cut.")});
        QCOMPARE(window.store()->commentText(), std::string(1023, 'x'));
        QCOMPARE(std::string(window.store()->image.begin(), window.store()->image.begin() + 1024),
                 std::string(1023, 'x') + '\0');
        QVERIFY(!window.dataSaved());
    }

    void commentClosedWithoutSaveStaysAsItWas() {
        Session session;
        openSurvey(session);
        inViewer(session.ui, [](QDialog& viewer) { memo(viewer)->setPlainText("changed"); });
        action(session.window, "Comments1")->trigger();
        QCOMPARE(session.window.store()->commentText(),
                 std::string("Lev\xE9 north\r\nsecond line"));
        QVERIFY(session.window.dataSaved());
    }
};

QTEST_MAIN(ReportTest)
#include "report_qtest.moc"
