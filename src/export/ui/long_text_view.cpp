#include "export/ui/long_text_view.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <algorithm>

namespace veldro {

namespace {

constexpr int kTextMargin = 4; // pixels between the frame and the text

} // namespace

LongTextView::LongTextView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setText({});
}

void LongTextView::setText(QString text) {
    text_ = std::move(text);
    rows_.clear();
    longestRow_ = 0;
    qsizetype start = 0;
    while (true) {
        const qsizetype end = text_.indexOf(u'\n', start);
        const qsizetype lineEnd = end < 0 ? text_.size() : end;
        // A long line's rows; an empty line has one.
        qsizetype row = start;
        do {
            rows_.push_back(row);
            longestRow_ = std::max(longestRow_, std::min(lineEnd - row, kRowLength));
            row += kRowLength;
        } while (row < lineEnd);
        if (end < 0 || end + 1 == text_.size()) break;
        start = end + 1;
    }
    matchStart_ = matchLength_ = 0;
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

int LongTextView::firstRowShown() const {
    return verticalScrollBar()->value();
}

qsizetype LongTextView::rowEnd(int row) const {
    const auto index = static_cast<std::size_t>(row);
    const qsizetype end = index + 1 < rows_.size() ? rows_[index + 1] : text_.size();
    return end > rows_[index] && text_[end - 1] == u'\n' ? end - 1 : end;
}

QString LongTextView::rowText(int row, qsizetype from, qsizetype count) const {
    const qsizetype start = rows_[static_cast<std::size_t>(row)];
    const qsizetype end = rowEnd(row);
    from = std::min(from, end - start);
    return text_.mid(start + from, std::min(count, end - start - from));
}

int LongTextView::rowOf(qsizetype position) const {
    const auto after = std::upper_bound(rows_.begin(), rows_.end(), position);
    return static_cast<int>(after - rows_.begin()) - 1;
}

void LongTextView::updateScrollBars() {
    const QFontMetrics metrics(font());
    const int rowsShown = std::max(1, (viewport()->height() - kTextMargin) / metrics.height());
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - rowsShown));
    verticalScrollBar()->setPageStep(rowsShown);
    verticalScrollBar()->setSingleStep(1);
    const int width =
        static_cast<int>(longestRow_) * metrics.horizontalAdvance(u'0') + 2 * kTextMargin;
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(metrics.horizontalAdvance(u'0') * 4);
}

// Only the columns in sight of each row in sight: the pitch is fixed.
void LongTextView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const int pitch = std::max(1, metrics.horizontalAdvance(u'0'));
    const int left = horizontalScrollBar()->value();
    const qsizetype firstColumn = std::max(0, left - kTextMargin) / pitch;
    const qsizetype columns = viewport()->width() / pitch + 2;
    const int first = firstRowShown();
    const int last = std::min(rowCount(), first + viewport()->height() / metrics.height() + 2);
    for (int row = first; row < last; ++row) {
        const int top = kTextMargin + (row - first) * metrics.height();
        const int x = kTextMargin - left + static_cast<int>(firstColumn) * pitch;
        const qsizetype start = rows_[static_cast<std::size_t>(row)] + firstColumn;
        const qsizetype matchFrom = std::max(matchStart_, start);
        // A match lies in the rows it covers, not in a row above that is
        // shorter than the window is wide.
        const qsizetype matchTo =
            std::min({matchStart_ + matchLength_, start + columns, rowEnd(row)});
        if (matchLength_ > 0 && matchFrom < matchTo)
            painter.fillRect(x + static_cast<int>(matchFrom - start) * pitch, top,
                             static_cast<int>(matchTo - matchFrom) * pitch, metrics.height(),
                             palette().color(QPalette::Highlight));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(x, top + metrics.ascent(), rowText(row, firstColumn, columns));
    }
}

void LongTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void LongTextView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) updateScrollBars();
}

// The keys of a text editor that move through the text.
void LongTextView::keyPressEvent(QKeyEvent* event) {
    QScrollBar* rows = verticalScrollBar();
    if (event->matches(QKeySequence::MoveToStartOfDocument))
        rows->setValue(0);
    else if (event->matches(QKeySequence::MoveToEndOfDocument))
        rows->setValue(rows->maximum());
    else if (event->matches(QKeySequence::MoveToStartOfLine))
        horizontalScrollBar()->setValue(0);
    else if (event->matches(QKeySequence::MoveToEndOfLine))
        horizontalScrollBar()->setValue(horizontalScrollBar()->maximum());
    else
        QAbstractScrollArea::keyPressEvent(event);
}

bool LongTextView::find(const QString& what) {
    if (what.isEmpty()) return false;
    const qsizetype after = matchLength_ > 0 ? matchStart_ + 1 : 0;
    qsizetype found = text_.indexOf(what, after, Qt::CaseInsensitive);
    if (found < 0 && after > 0) found = text_.indexOf(what, 0, Qt::CaseInsensitive);
    if (found < 0) return false;
    matchStart_ = found;
    matchLength_ = what.size();
    const int row = rowOf(found);
    QScrollBar* rows = verticalScrollBar();
    if (row < rows->value() || row >= rows->value() + rows->pageStep())
        rows->setValue(row - rows->pageStep() / 2);
    const QFontMetrics metrics(font());
    const int x = static_cast<int>(found - rows_[static_cast<std::size_t>(row)]) *
                  metrics.horizontalAdvance(u'0');
    QScrollBar* columns = horizontalScrollBar();
    if (x < columns->value() || x + kTextMargin * 2 > columns->value() + viewport()->width())
        columns->setValue(x - viewport()->width() / 3);
    viewport()->update();
    return true;
}

bool LongTextView::print(QPrinter& printer) const {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setFont(QFont(font(), &printer));
    const QFontMetrics metrics(painter.font());
    const int rowsPerPage = std::max(1, painter.viewport().height() / metrics.height());
    for (int row = 0; row < rowCount(); ++row) {
        const int onPage = row % rowsPerPage;
        if (onPage == 0 && row > 0 && !printer.newPage()) return false;
        painter.drawText(0, onPage * metrics.height() + metrics.ascent(), rowText(row));
    }
    return painter.end();
}

} // namespace veldro
