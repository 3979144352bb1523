// The files the desktop hands the window: named on its command line, dropped
// on it, and the recent files of the "File" menu.
#include "app_test_support.h"
#include "data/survey_generator.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

using namespace veldro;
using namespace veldro::test;

namespace {

// Drags `paths` onto the table, where a user lets go of them; true when the
// window takes the drag. With `drop`, lets go of them.
bool dragOnto(TMainFrm& window, const QStringList& paths, bool drop) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QWidget* table = part<MeasurementTableView>(window, "TabMesureCLstView")->viewport();
    const QPoint middle = table->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(table, &enter);
    if (!enter.isAccepted() || !drop) return enter.isAccepted();
    QDropEvent letGo(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(table, &letGo);
    return letGo.isAccepted();
}

QString writeText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) ? path : QString();
}

QString writeBru(const QString& path, const std::vector<MeasurementRecord>& records) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(QByteArray::fromStdString(bruTextOf(records)));
    return path;
}

// The recent files as the menu shows them when it opens.
QStringList recentMenu(TMainFrm& window) {
    QMenu* menu = part<QMenu>(window, "RecentFiles");
    emit menu->aboutToShow();
    QStringList files;
    for (QAction* item : menu->actions()) files << item->data().toString();
    return files;
}

} // namespace

class DesktopFilesTest : public QObject {
    Q_OBJECT
private slots:
    void commandLineOpensTheFirstFileAndAddsTheOthers() {
        Session session;
        auto& [sandbox, ui, window] = session;
        const QString first = writeDataFile(sandbox.file("line1.vlf"), profileRecords(1, 3));
        writeDataFile(sandbox.file("line2.vlf"), profileRecords(2, 2));
        writeText(sandbox.file("notes.txt"));
        window.openOnFirstShow({first, QStringLiteral("line2.vlf"), sandbox.file("notes.txt")});
        window.show();
        QTRY_COMPARE(window.rowList().size(), 5);
        QCOMPARE(window.store()->record(3).profile, 2);
        QVERIFY(ui.openRequests.empty());
        QCOMPARE(ui.texts(), QStringList{"Only Veldro data files (*.vlf) can be added:\n" +
                                         sandbox.file("notes.txt")});
        QCOMPARE(window.session().filePath(), first);
        QVERIFY(!window.dataSaved()); // the data set is the two files' together
    }

    void droppedBruIsImportedAfterTheUnsavedDataQuestion() {
        Session session;
        auto& [sandbox, ui, window] = session;
        window.show();
        openThroughDialog(window, ui, writeDataFile(sandbox.file("a.vlf"), profileRecords(1, 4)));
        selectRows(window, {0});
        action(window, "Ignoreselectedrows1")->trigger();
        const QString old = writeBru(sandbox.file("old.BRU"), profileRecords(7, 3));

        QVERIFY(!dragOnto(window, {writeText(sandbox.file("notes.txt"))}, false));
        QVERIFY(dragOnto(window, {old}, true)); // No, the default: the edit stays
        QTRY_COMPARE(ui.texts(), QStringList{"Discard unsaved data ?"});
        QCOMPARE(window.rowList().size(), 4);

        ui.answers.push_back(QMessageBox::Yes);
        QVERIFY(dragOnto(window, {old}, true));
        QTRY_COMPARE(window.rowList().size(), 3);
        QCOMPARE(window.store()->record(0).profile, 7);
        QCOMPARE(window.session().filePath(), old);
        QCOMPARE(ui.asked.size(), 2u);
    }

    void recentFilesKeepTheLastFiveAcrossRuns() {
        Sandbox sandbox;
        ScriptedUiServices ui;
        QStringList files;
        for (int line = 1; line <= 6; ++line)
            files << writeDataFile(sandbox.file(QStringLiteral("line%1.vlf").arg(line)),
                                   profileRecords(line, line));
        {
            TMainFrm window(ui);
            QVERIFY(!part<QMenu>(window, "RecentFiles")->menuAction()->isEnabled());
            for (const QString& file : files) openThroughDialog(window, ui, file);
            openThroughDialog(window, ui, files[2]); // again: moves up, not in twice
            ui.saveAnswers.push_back(sandbox.file("saved & kept.vlf"));
            action(window, "EnregistrerSous")->trigger();
            QVERIFY(window.close());
        }
        TMainFrm window(ui);
        const QStringList expected{sandbox.file("saved & kept.vlf"), files[2], files[5], files[4],
                                   files[3]};
        QCOMPARE(recentMenu(window), expected);
        QMenu* menu = part<QMenu>(window, "RecentFiles");
        QCOMPARE(menu->actions()[0]->text(), "&1 " + sandbox.file("saved && kept.vlf"));

        menu->actions()[3]->trigger();
        QCOMPARE(window.rowList().size(), 5);
        QCOMPARE(recentMenu(window).first(), files[4]);

        QFile::remove(files[3]);
        menu->actions()[4]->trigger();
        QCOMPARE(ui.texts(), QStringList{"Unable to open file\n" + files[3]});
        QVERIFY(!recentMenu(window).contains(files[3]));
    }
};

QTEST_MAIN(DesktopFilesTest)
#include "desktop_files_qtest.moc"
