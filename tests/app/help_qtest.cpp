// The "Help" menu: the user guide behind F1, the menu and the tool button, a
// dialog's Help at its own page, the guide's links, and the about box.
#include "app/about_dialog.h"
#include "app_test_support.h"
#include "veldro_version.h"
#include "widgets/help_window.h"

#include <QApplication>
#include <QDirIterator>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>

using namespace veldro;
using namespace veldro::test;

namespace {

const QString kGuideFolder = QStringLiteral(VELDRO_GOLDEN_DIR "/../../docs/guide");

HelpWindow* openHelpWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* help = qobject_cast<HelpWindow*>(widget); help && help->isVisible()) return help;
    return nullptr;
}

QString pageOf(const QWidget& help) {
    return part<QTextBrowser>(help, "HelpBrowser")->source().fileName();
}

QString fileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void everyWayToHelpOpensItsPageAndQuittingClosesIt() {
        Sandbox sandbox;
        QtUiServices ui;
        TMainFrm window(ui);
        ui.setParent(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        // The range filter's "Help" button.
        ui.showHelp(1600);
        HelpWindow* help = openHelpWindow();
        QVERIFY(help);
        QCOMPARE(pageOf(*help), QStringLiteral("filtering.html"));

        QAction* topics = action(window, "Rubriquedaide1");
        QWidget* button = part<QToolBar>(window, "ToolBar1")->widgetForAction(topics);
        const std::vector<std::pair<const char*, std::function<void()>>> ways{
            {"menu", [&] { topics->trigger(); }},
            {"F1", [&] { QTest::keyClick(&window, Qt::Key_F1); }},
            {"tool button", [&] { QTest::mouseClick(button, Qt::LeftButton); }},
        };
        for (const auto& [way, open] : ways) {
            part<QTextBrowser>(*help, "HelpBrowser")
                ->setSource(guideContents().resolved(QUrl(QStringLiteral("table.html"))));
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            open();
            QVERIFY2(openHelpWindow() == help, way);
            QVERIFY2(pageOf(*help) == QStringLiteral("index.html"), way);
        }

        window.close();
        QVERIFY(!openHelpWindow());
    }

    void webLinksGoToTheBrowserAndPagesStayInTheWindow() {
        ScriptedUiServices ui;
        HelpWindow help(ui);
        help.showContext(100);
        auto* browser = part<QTextBrowser>(help, "HelpBrowser");
        const QUrl web(QStringLiteral("https://www.example.org/vlf"));
        emit browser->anchorClicked(web);
        QCOMPARE(ui.openedUrls, std::vector<QUrl>{web});
        QCOMPARE(pageOf(help), QStringLiteral("index.html"));

        emit browser->anchorClicked(QUrl(QStringLiteral("filtering.html")));
        QCOMPARE(pageOf(help), QStringLiteral("filtering.html"));
        QCOMPARE(part<QListWidget>(help, "HelpContents")->currentItem()->data(Qt::UserRole).toUrl(),
                 browser->source());
        action(help, "HelpBack")->trigger();
        QCOMPARE(pageOf(help), QStringLiteral("index.html"));
        QVERIFY(action(help, "HelpForward")->isEnabled());

        // Every page of the contents opens from the list.
        auto* contents = part<QListWidget>(help, "HelpContents");
        QVERIFY(contents->count() > 8);
        for (int row = 0; row < contents->count(); ++row) {
            QListWidgetItem* item = contents->item(row);
            emit contents->itemClicked(item);
            QCOMPARE(browser->source(), item->data(Qt::UserRole).toUrl());
            QVERIFY2(!browser->toPlainText().isEmpty(), qPrintable(item->text()));
        }
        QCOMPARE(ui.openedUrls.size(), 1u);
    }

    void findInThePageWrapsAndSaysWhenNothingIsFound() {
        ScriptedUiServices ui;
        HelpWindow help(ui);
        help.showContext(1600);
        auto* browser = part<QTextBrowser>(help, "HelpBrowser");
        auto* find = part<QLineEdit>(help, "HelpFind");
        QTest::keyClicks(find, QStringLiteral("ignored"));
        QCOMPARE(browser->textCursor().selectedText().toLower(), QStringLiteral("ignored"));
        const int first = browser->textCursor().position();
        int visits = 0;
        do {
            action(help, "HelpFindNext")->trigger();
            ++visits;
        } while (browser->textCursor().position() != first && visits < 100);
        QVERIFY2(visits > 1 && visits < 100, "goes through every match and back to the first");

        find->clear();
        QTest::keyClicks(find, QStringLiteral("xyzzy"));
        QCOMPARE(help.statusBar()->currentMessage(), QStringLiteral("\"xyzzy\" not found"));
    }

    // Every link of the guide reaches a page, a picture or a place in a page that
    // exists; every page can be reached from another.
    void everyLinkOfTheGuideLeadsSomewhere() {
        const QDir guide(kGuideFolder);
        QVERIFY(guide.exists(QStringLiteral("index.html")));
        const QRegularExpression reference(QStringLiteral("(?:href|src)\\s*=\\s*\"([^\"]*)\""));
        QStringList broken;
        QSet<QString> reached{guide.absoluteFilePath(QStringLiteral("index.html"))};
        const QStringList pages = guide.entryList({QStringLiteral("*.html")}, QDir::Files);
        for (const QString& page : pages) {
            const QString text = fileText(guide.filePath(page));
            for (const auto& match : reference.globalMatch(text)) {
                const QUrl link(match.captured(1));
                if (link.scheme() == u"https" || link.scheme() == u"mailto") continue;
                const QString where = page + QStringLiteral(": ") + match.captured(1);
                if (!link.scheme().isEmpty() || link.isEmpty()) {
                    broken << where +
                                  QStringLiteral(" (not a page of the guide nor a web address)");
                    continue;
                }
                const QString target =
                    link.path().isEmpty()
                        ? guide.absoluteFilePath(page)
                        : QFileInfo(guide.filePath(link.path())).absoluteFilePath();
                if (!QFileInfo::exists(target)) {
                    broken << where + QStringLiteral(" (no such file)");
                    continue;
                }
                reached << QDir::cleanPath(target);
                if (link.hasFragment() &&
                    !fileText(target).contains(QStringLiteral("id=\"%1\"").arg(link.fragment())))
                    broken << where + QStringLiteral(" (no such place in the page)");
            }
        }
        for (const QString& page : pages)
            if (!reached.contains(QDir::cleanPath(guide.absoluteFilePath(page))))
                broken << page + QStringLiteral(" (no link leads to it)");
        QVERIFY2(broken.isEmpty(), qPrintable(QLatin1Char('\n') + broken.join(u'\n')));
    }

    // "Unable to find LinkTest.exe (Please reinstall the software)" is mended
    // by no reinstall on Linux: the guide says where the checker is looked for
    // and that it runs under Wine.
    void theGuideSaysWhereTheLinkCheckerGoes() {
        const QString connecting = fileText(kGuideFolder + QStringLiteral("/connecting.html"));
        for (const QString& said :
             {QStringLiteral("<code>LinkTest</code> that starts it"),
              QStringLiteral("exec wine /opt/linktest/LinkTest.exe"), QStringLiteral("/usr/bin")})
            QVERIFY2(connecting.contains(said), qPrintable(said));
        QVERIFY(fileText(kGuideFolder + QStringLiteral("/troubleshooting.html"))
                    .contains(QStringLiteral("connecting.html#linktest")));
    }

    void versionTextShowsMajorMinorAndRelease_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("shown");
        QTest::newRow("1.9.0.0") << "1.9.0.0"
                                 << "V01.09.00";
        QTest::newRow("2.10.3.7") << "2.10.3.7"
                                  << "V02.10.03";
        QTest::newRow("project form") << "1.9.0"
                                      << "V01.09.00";
    }
    void versionTextShowsMajorMinorAndRelease() {
        QFETCH(QString, version);
        QFETCH(QString, shown);
        QCOMPARE(versionLabel(version), shown);
    }

    void aboutBoxShowsTheBuildAndItsLinksOpenTheirPages() {
        Session s;
        QString version, comments;
        s.ui.dialogAnswers.push_back([&](QDialog& box) {
            version = part<QLabel>(box, "Version")->text();
            comments = part<QPlainTextEdit>(box, "Memo1")->toPlainText();
            auto* web = part<QLabel>(box, "Label4");
            QTest::mouseClick(web, Qt::LeftButton);
            web->setText(QStringLiteral("https://www.example.org/mirror"));
            QTest::mouseClick(web, Qt::LeftButton);
            QTest::mouseClick(part<QLabel>(box, "Label3"), Qt::LeftButton);
            QTest::mouseClick(part<QPushButton>(box, "BitBtn1"), Qt::LeftButton);
        });
        action(s.window, "Apropos1")->trigger();
        QCOMPARE(s.ui.dialogTitles, QStringList{QStringLiteral("About")});
        QCOMPARE(version, versionLabel(QString::fromLatin1(kProgramVersion)));
        QCOMPARE(comments, QString::fromUtf8(kProgramComments));
        QVERIFY(comments.count(u'\n') >= 1);
        const std::vector<QUrl> opened{makerHomePage(),
                                       QUrl(QStringLiteral("https://www.example.org/mirror")),
                                       makerContactPage()};
        QCOMPARE(s.ui.openedUrls, opened);

        action(s.window, "Homepage1")->trigger();
        action(s.window, "Productsupport1")->trigger();
        QCOMPARE(s.ui.openedUrls.at(3), makerHomePage());
        QCOMPARE(s.ui.openedUrls.at(4), makerSupportPage());
    }
};

QTEST_MAIN(HelpTest)
#include "help_qtest.moc"
