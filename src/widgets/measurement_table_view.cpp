#include "widgets/measurement_table_view.h"

#include <QApplication>
#include <QColor>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QToolTip>

namespace veldro {

QVariant rowBackground(int row) {
    static const QColor oddRowColour(234, 249, 251);
    return row % 2 == 1 ? QVariant(oddRowColour) : QVariant();
}

MeasurementTableView::MeasurementTableView(QWidget* parent) : QTableView(parent) {
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
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    int room = visualRect(index).width() - 2 * margin;
    if (!index.data(Qt::DecorationRole).isNull()) room -= kImageStripEnd;
    return fontMetrics().horizontalAdvance(text) > room ? text : QString();
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

bool DoublePressGuard::secondPress(int key) {
    const auto now = std::chrono::steady_clock::now();
    const auto doubleClickTime = std::chrono::milliseconds(QApplication::doubleClickInterval());
    if (lastKey_ == key && now - lastTime_ < doubleClickTime) return true;
    lastTime_ = now;
    lastKey_ = key;
    return false;
}

} // namespace veldro
