#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <vector>

class QPrinter;

namespace veldro {

// A read-only window onto a text of any size in a fixed-pitch font: only the
// rows in sight are drawn, so a report of 740000 lines or a file of one line
// of 60 MB opens at once and costs nothing while it is open. A line longer
// than kRowLength characters goes on over the next rows.
class LongTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr qsizetype kRowLength = 2000;

    explicit LongTextView(QWidget* parent = nullptr);

    // The text, lines ended by '\n'; shown from its start.
    void setText(QString text);
    const QString& text() const { return text_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    // The row at the top of the window.
    int firstRowShown() const;

    // Finds `what` (any letter case) after the last match, from the start when
    // there is none or it was the last; marks it and scrolls to it. False when
    // the text does not hold it.
    bool find(const QString& what);
    // The last match's start and length; length 0 for none.
    qsizetype matchStart() const { return matchStart_; }
    qsizetype matchLength() const { return matchLength_; }

    // Prints the rows page after page. False when the job was not finished.
    bool print(QPrinter& printer) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Where the row's text ends, before its line end.
    qsizetype rowEnd(int row) const;
    // The row's text without its line end.
    QString rowText(int row, qsizetype from = 0, qsizetype count = kRowLength) const;
    int rowOf(qsizetype position) const;
    void updateScrollBars();

    QString text_;
    std::vector<qsizetype> rows_; // where each row starts
    qsizetype longestRow_ = 0;
    qsizetype matchStart_ = 0;
    qsizetype matchLength_ = 0;
};

} // namespace veldro
