#include "widgets/measurement_table_view.h"

#include <QApplication>
#include <QColor>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>

namespace veldro {

QVariant rowBackground(int row) {
    static const QColor oddRowColour(234, 249, 251);
    return row % 2 == 1 ? QVariant(oddRowColour) : QVariant();
}

namespace {

class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(MeasurementTableView& view) : QStyledItemDelegate(&view), view_(view) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = view_.shownText(index);
    }

private:
    MeasurementTableView& view_;
};

} // namespace

MeasurementTableView::MeasurementTableView(QWidget* parent) : QTableView(parent) {
    setItemDelegate(new CellDelegate(*this));
    setSelectionBehavior(SelectRows);
    setSelectionMode(ExtendedSelection);
    setEditTriggers(NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setHorizontalScrollMode(ScrollPerPixel);
    setContextMenuPolicy(Qt::NoContextMenu);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
}

QString MeasurementTableView::cutText(const QModelIndex& index) const {
    const QString text = index.data().toString();
    if (text.isEmpty()) return {};
    return fontMetrics().horizontalAdvance(text) > textRoom(index) ? text : QString();
}

int MeasurementTableView::textRoom(const QModelIndex& index) const {
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    int room = visualRect(index).width() - 2 * margin;
    if (!index.data(Qt::DecorationRole).isNull()) room -= kImageStripEnd;
    return room;
}

QString MeasurementTableView::shownText(const QModelIndex& index) const {
    const QString text = index.data().toString();
    const bool number = !text.isEmpty() && (text.front().isDigit() || text.front() == u'-');
    if (index.column() == 0 || !number || cutText(index).isEmpty()) return text;
    return QString(std::max(1, textRoom(index) / fontMetrics().horizontalAdvance(QLatin1Char('#'))),
                   QLatin1Char('#'));
}

bool MeasurementTableView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QTableView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.isValid() ? cutText(index) : QString();
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
    return true;
}

int MeasurementTableView::contentX(const QMouseEvent* event) const {
    return static_cast<int>(event->position().x()) + horizontalOffset();
}

bool MeasurementTableView::pressOnImageStrip(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !imageStripPressed) return false;
    const int x = contentX(event);
    if (x <= 0 || x >= kImageStripEnd) return false;
    const int row = rowAt(static_cast<int>(event->position().y()));
    return row >= 0 && imageStripPressed(row);
}

void MeasurementTableView::mousePressEvent(QMouseEvent* event) {
    if (pressOnImageStrip(event)) return;
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::RightButton && rightPressed)
        rightPressed(event->globalPosition().toPoint());
}

// The second press of a double-click arrives here: on the image strip it is
// one more click there (debounced by the window), elsewhere the double-click.
void MeasurementTableView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (pressOnImageStrip(event)) return;
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && contentX(event) >= kImageStripEnd &&
        doubleClickedRight)
        doubleClickedRight();
}

void MeasurementTableView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && spacePressed &&
        currentIndex().isValid()) {
        spacePressed(currentIndex().row());
        return;
    }
    QTableView::keyPressEvent(event);
}

// Home and End (with Ctrl or not) go to the first and last row in the column
// the cursor is in, rather than to the first or last column: the rows are
// selected whole, and scrolling sideways would hide "#" and "Profile".
QModelIndex MeasurementTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if ((action != MoveHome && action != MoveEnd) || !model() || model()->rowCount() == 0)
        return QTableView::moveCursor(action, modifiers);
    const int row = action == MoveHome ? 0 : model()->rowCount() - 1;
    return model()->index(row, std::max(currentIndex().column(), 0));
}

bool DoublePressGuard::secondPress(int key) {
    const auto now = std::chrono::steady_clock::now();
    const auto doubleClickTime = std::chrono::milliseconds(QApplication::doubleClickInterval());
    if (lastKey_ == key && now - lastTime_ < doubleClickTime) return true;
    lastTime_ = now;
    lastKey_ = key;
    return false;
}

} // namespace veldro
