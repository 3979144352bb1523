// The report viewer on what the editor cannot lay out at the speed of typing:
// the report of a full instrument memory and a file of one long line, shown
// read-only at once, scrolled to the end, searched, saved and closed.
#include "../../app/app_test_support.h"
#include "export/rtf.h"
#include "export/ui/long_text_view.h"
#include "full_memory.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextEdit>
#include <QToolButton>

using namespace veldro;
using namespace veldro::test;

namespace {

LongTextView* view(QDialog& viewer) {
    return part<LongTextView>(viewer, "ReportView");
}

void find(QDialog& viewer, const QString& what) {
    auto* box = part<QLineEdit>(viewer, "FindBox");
    box->setText(what);
    QTest::keyClick(box, Qt::Key_Return);
}

} // namespace

class LargeReportTest : public QObject {
    Q_OBJECT
private slots:
    void fullMemoryReportIsShownReadOnlyToItsEnd() {
        Session session;
        auto& [sandbox, ui, window] = session;
        openSurvey(session, fullMemory());
        const QString saved = sandbox.file(QStringLiteral("saved.txt"));
        ui.saveAnswers.push_back(saved);
        int rows = 0, lastShown = 0, foundRow = -1;
        QString note, lastRow;
        bool fontEnabled = true, closed = false;
        ui.dialogAnswers.push_back([&](QDialog& viewer) {
            viewer.show();
            QVERIFY(part<QTextEdit>(viewer, "ReportMemo")->isHidden());
            note = part<QLabel>(viewer, "ReadOnlyNote")->text();
            fontEnabled = part<QToolButton>(viewer, "FontBtn")->isEnabled();
            LongTextView* text = view(viewer);
            rows = text->rowCount();
            QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
            lastShown = text->firstRowShown() + text->verticalScrollBar()->pageStep();
            find(viewer, QStringLiteral("#63999"));
            foundRow = text->firstRowShown();
            QCOMPARE(text->text().mid(text->matchStart(), 7), QStringLiteral("#63999\n"));
            lastRow = text->text().section(u'\n', -2, -2);
            part<QToolButton>(viewer, "SaveBtn")->click();
            viewer.reject();
            closed = !viewer.isVisible();
        });
        action(window, "Formatedtype1")->trigger();

        const QByteArray report = fileBytes(sandbox.file(QStringLiteral("bt_temp.txt")));
        QCOMPARE(rows, report.count("\r\n"));
        QVERIFY(rows > 700000);
        QCOMPARE(note, QStringLiteral("%1 lines: too large to edit here, shown read-only.")
                           .arg(QLocale::system().toString(rows)));
        QVERIFY(!fontEnabled);
        QVERIFY(lastShown >= rows);
        QVERIFY(foundRow > rows - 100);
        QVERIFY(report.endsWith(lastRow.toLatin1() + "\r\n"));
        QCOMPARE(fileBytes(saved), report);
        QVERIFY(ui.asked.empty()); // neither a question on closing nor a "not found"
        QVERIFY(closed);
    }

    // Rows of kRowLength characters; saved whole, as rich text too.
    void longLineIsShownInRowsAndSavedWhole() {
        Session session;
        const QString source = session.sandbox.file(QStringLiteral("one line.txt"));
        QByteArray line;
        for (int i = 0; i < 100000; ++i) line += static_cast<char>('a' + i % 26);
        writeText(source, line + "\r\nend\r\n");
        const QString rtf = session.sandbox.file(QStringLiteral("saved.rtf"));
        session.ui.saveAnswers.push_back(rtf);
        session.ui.openAnswers.push_back(source);
        int rows = 0;
        QString secondRow;
        session.ui.dialogAnswers.push_back([&](QDialog& viewer) {
            LongTextView* text = view(viewer);
            rows = text->rowCount();
            secondRow = text->text().mid(LongTextView::kRowLength, 3);
            find(viewer, QStringLiteral("END"));
            QCOMPARE(text->matchStart(), line.size() + 1);
            find(viewer, QStringLiteral("not there"));
            part<QToolButton>(viewer, "SaveBtn")->click();
        });
        action(session.window, "File1")->trigger();
        QCOMPARE(rows, 100000 / LongTextView::kRowLength + 1);
        QCOMPARE(secondRow, QString::fromLatin1(line.mid(LongTextView::kRowLength, 3)));
        QCOMPARE(session.ui.texts(), QStringList{QStringLiteral("\"not there\" was not found.")});
        const QByteArray saved = fileBytes(rtf);
        const StyledText runs =
            readRtf({saved.constData(), static_cast<std::size_t>(saved.size())});
        QCOMPARE(runs.size(), 1u);
        QCOMPARE(QString::fromStdString(runs.text()), QString::fromLatin1(line + "\nend\n"));
    }

    // Only the rows a match covers are marked, whatever the rows above it hold.
    void findMarksTheMatchedRowsOnly() {
        LongTextView text;
        text.resize(400, 200);
        text.setText(QStringLiteral("short\nrows\nabove\nthe MATCH here\n"));
        QVERIFY(text.find(QStringLiteral("match")));
        const QImage shown = text.viewport()->grab().toImage();
        const QRgb mark = text.palette().color(QPalette::Highlight).rgb();
        const int rowHeight = QFontMetrics(text.font()).height();
        QList<int> markedRows;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixel(x, y) == mark) {
                    const int row = (y - 4) / rowHeight; // under the view's 4-pixel margin
                    if (!markedRows.contains(row)) markedRows << row;
                }
        QCOMPARE(markedRows, QList<int>{3});
    }
};

QTEST_MAIN(LargeReportTest)
#include "large_report_qtest.moc"
