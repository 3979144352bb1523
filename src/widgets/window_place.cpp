#include "widgets/window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace veldro {

QRect fitToScreen(const QRect& wanted, const QMargins& frame, const QRect& free) {
    QRect outer = wanted.marginsAdded(frame);
    outer.setSize(outer.size().boundedTo(free.size()));
    outer.moveLeft(std::clamp(outer.left(), free.left(), free.right() + 1 - outer.width()));
    outer.moveTop(std::clamp(outer.top(), free.top(), free.bottom() + 1 - outer.height()));
    return outer.marginsRemoved(frame);
}

// Once the window is shown, the window manager's own frame; before, the
// frame of a window it already decorates, as Qt's dialogs guess too; with
// none shown yet, a title bar as the style draws one, and borders.
QMargins windowFrame(const QWidget& window) {
    if (const QWindow* shown = window.windowHandle(); shown != nullptr && shown->isVisible())
        return shown->frameMargins();
    for (const QWindow* other : QGuiApplication::topLevelWindows())
        if (other->isVisible() && (other->type() == Qt::Window || other->type() == Qt::Dialog) &&
            !other->flags().testFlag(Qt::FramelessWindowHint))
            return other->frameMargins();
    const QStyle* style = window.style();
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return {border, title + border, border, border};
}

void fitOnScreen(QWidget& window) {
    // A window not sized yet takes its content's size, as Qt gives it on showing.
    if (!window.testAttribute(Qt::WA_Resized)) window.adjustSize();
    const QMargins frame = windowFrame(window);
    const QPoint inside(frame.left(), frame.top());
    // move() places a window's frame: the window lies inside it.
    QRect wanted(window.pos() + inside, window.size());
    const QWidget* over = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    const bool placed = window.testAttribute(Qt::WA_Moved);
    QScreen* screen = placed ? QGuiApplication::screenAt(wanted.center()) : nullptr;
    if (screen == nullptr) screen = over != nullptr ? over->screen() : window.screen();
    const QRect free = screen->availableGeometry();
    if (!placed) {
        QRect outer = wanted.marginsAdded(frame);
        outer.moveCenter(over != nullptr ? over->frameGeometry().center() : free.center());
        wanted = outer.marginsRemoved(frame);
    }
    const QRect fitted = fitToScreen(wanted, frame, free);
    // A layout asks for its content's size at least; on a small screen the
    // window gets less.
    const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
    if (least.width() > fitted.width() || least.height() > fitted.height())
        window.setMinimumSize(least.boundedTo(fitted.size()));
    window.resize(fitted.size());
    window.move(fitted.topLeft() - inside);
}

} // namespace veldro
