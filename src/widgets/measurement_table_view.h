#pragma once

#include <QTableView>
#include <QVariant>
#include <chrono>
#include <functional>
#include <optional>

namespace veldro {

// The background of a row in the program's lists: every second row tinted.
QVariant rowBackground(int row);

// The measurement table: whole-row multiple selection, grid lines, a small
// font, and the mouse gestures the main window gives meaning to.
class MeasurementTableView : public QTableView {
    Q_OBJECT
public:
    // The strip of the kept image at the left end of every row, in content pixels.
    static constexpr int kImageStripEnd = 19;

    explicit MeasurementTableView(QWidget* parent = nullptr);

    // A left press on the image strip of a row; true consumes the press.
    std::function<bool(int row)> imageStripPressed;
    // A left double-click right of the image strip.
    std::function<void()> doubleClickedRight;
    // A right press, after the selection followed it.
    std::function<void(const QPoint& globalPosition)> rightPressed;
    // Space on the current row.
    std::function<void(int row)> spacePressed;

    // The cell's whole text when its column is too narrow to show it; empty
    // when it shows whole. The tooltip of a cell.
    QString cutText(const QModelIndex& index) const;
    // What the cell shows: its text, or "#" marks across the cell for a number
    // too wide for its column (a garbage value of a broken record), so that it
    // is not cut to something that reads as a number ("-308..."). The tooltip
    // gives the whole text.
    QString shownText(const QModelIndex& index) const;

protected:
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    // The width a cell's text has, inside its margins and beside its image.
    int textRoom(const QModelIndex& index) const;
    // The content x of a viewport position, whatever the horizontal scroll.
    int contentX(const QMouseEvent* event) const;
    bool pressOnImageStrip(QMouseEvent* event);
};

// Tells the second press of a double press on a row's image, which must not
// toggle the row back, from a new press: the same key pressed again within the
// system's double-click time.
class DoublePressGuard {
public:
    // True for the second press of a double press; any other press is noted.
    bool secondPress(int key);

private:
    std::chrono::steady_clock::time_point lastTime_{};
    std::optional<int> lastKey_;
};

} // namespace veldro
