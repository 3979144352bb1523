// "Tools" → "Run IXVLF" and "Run Orvex": the remembered folder or a chooser,
// the program found whatever the case of its name, started on its own (through
// wine when wine is on the PATH), and a wrong folder forgotten with a word in
// the status line.
#include "app_test_support.h"

#include <QCoreApplication>
#include <QFile>

using namespace veldro;
using namespace veldro::test;

namespace {

// A shell script that writes its name and arguments into `marker`.
void writeScript(const QString& path, const QString& marker, bool executable) {
    QFile script(path);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"$0 $*\" > '%1'\n").arg(marker).toUtf8());
    script.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable) permissions |= QFile::ExeOwner;
    QVERIFY(script.setPermissions(permissions));
}

// PATH holds one folder of the test's own, with or without a stand-in wine.
class TestPath {
public:
    TestPath() : saved_(qgetenv("PATH")) { qputenv("PATH", bin_.path().toLocal8Bit()); }
    ~TestPath() { qputenv("PATH", saved_); }
    TestPath(const TestPath&) = delete;
    TestPath& operator=(const TestPath&) = delete;
    QString wine() const { return bin_.filePath(QStringLiteral("wine")); }

private:
    QByteArray saved_;
    QTemporaryDir bin_;
};

QString noteOf(const TMainFrm& window) {
    return part<QLabel>(window, "StatusPanel1")->text();
}

} // namespace

class ToolsTest : public QObject {
    Q_OBJECT
private slots:
    void outsideProgramIsFoundAndStarted_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("remembered"); // else chosen in the folder chooser
        QTest::addColumn<QString>("file");    // put into the folder, empty for none
        QTest::addColumn<bool>("executable");
        QTest::addColumn<bool>("wine");         // a stand-in wine on the PATH
        QTest::addColumn<QString>("startedBy"); // "program", "wine" or nothing
        QTest::addColumn<QString>("note");      // %1 the folder
        QTest::addColumn<bool>("keptFolder");

        QTest::newRow("remembered, a script")
            << "RunIXVLF1" << true << "IXVLF.exe" << true << false << "program"
            << "" << true;
        QTest::newRow("chosen, lower-case name")
            << "RunOrvex1" << false << "orvex.exe" << true << false << "program"
            << "" << true;
        QTest::newRow(".exe through wine")
            << "RunIXVLF1" << true << "IXVLF.exe" << false << true << "wine"
            << "" << true;
        QTest::newRow("missing: forgotten") << "RunIXVLF1" << true << "" << false << false << ""
                                            << "IXVLF.exe not found in %1" << false;
        QTest::newRow("no wine to start it: forgotten")
            << "RunOrvex1" << true << "Orvex.exe" << false << false << ""
            << "wine is needed to run Orvex.exe" << false;
    }
    void outsideProgramIsFoundAndStarted() {
        QFETCH(QString, command);
        QFETCH(bool, remembered);
        QFETCH(QString, file);
        QFETCH(bool, executable);
        QFETCH(bool, wine);
        QFETCH(QString, startedBy);
        QFETCH(QString, note);
        QFETCH(bool, keptFolder);

        Sandbox sandbox;
        TestPath path;
        const QString folder = sandbox.file(QStringLiteral("programs"));
        QVERIFY(QDir().mkpath(folder));
        const QString marker = sandbox.file(QStringLiteral("started"));
        const QString program = folder + u'/' + file;
        if (!file.isEmpty()) writeScript(program, marker, executable);
        if (wine) writeScript(path.wine(), marker, true);
        const QString key =
            command == u"RunIXVLF1" ? QStringLiteral("IXVLF") : QStringLiteral("Orvex");
        if (remembered) sandbox.settings()->setValue(key, folder);

        ScriptedUiServices ui;
        ui.directoryAnswers.push_back([&] { return folder + u'/'; });
        {
            TMainFrm window(ui);
            action(window, command.toLatin1().constData())->trigger();
            QCOMPARE(ui.directoryStarts, remembered
                                             ? QStringList()
                                             : QStringList{QCoreApplication::applicationDirPath()});
            QCOMPARE(noteOf(window), note.arg(QDir::toNativeSeparators(folder)));
            window.close();
        }
        QCOMPARE(sandbox.settings()->value(key).toString(), keptFolder ? folder : QString());

        if (startedBy.isEmpty()) {
            QVERIFY(!QFileInfo::exists(marker));
            return;
        }
        const QStringList expected =
            startedBy == u"wine" ? QStringList{path.wine(), program} : QStringList{program};
        QCOMPARE(ui.startedPrograms, std::vector<QStringList>{expected});
        QTRY_VERIFY(QFileInfo::exists(marker));
        QTRY_COMPARE(QString::fromUtf8(fileBytes(marker)).trimmed(),
                     startedBy == u"wine" ? path.wine() + u' ' + program : program);
    }

    void forgottenFolderIsAskedForNextTime() {
        Session s;
        const QString gone = s.sandbox.file(QStringLiteral("gone"));
        s.ui.directoryAnswers.push_back([&] { return gone; });
        action(s.window, "RunIXVLF1")->trigger();
        QCOMPARE(noteOf(s.window), QStringLiteral("IXVLF.exe not found in %1").arg(gone));
        QCOMPARE(s.window.settings().ixvlfPath, QString());
        action(s.window, "RunIXVLF1")->trigger();
        QCOMPARE(s.ui.directoryStarts.size(), 2);
    }

    void cancelledChooserLooksAtTheRoot() {
        if (QFileInfo::exists(QStringLiteral("/IXVLF.exe")) ||
            QFileInfo::exists(QStringLiteral("/ixvlf.exe")))
            QSKIP("this machine has an IXVLF.exe at its root");
        Session s;
        action(s.window, "RunIXVLF1")->trigger();
        QCOMPARE(s.ui.directoryStarts.size(), 1);
        QCOMPARE(noteOf(s.window),
                 QStringLiteral("IXVLF.exe not found in %1").arg(QDir::toNativeSeparators("/")));
        QVERIFY(s.ui.startedPrograms.empty());
    }

private:
    static QByteArray fileBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

QTEST_MAIN(ToolsTest)
#include "tools_qtest.moc"
