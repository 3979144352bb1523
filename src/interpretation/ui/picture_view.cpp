#include "interpretation/ui/picture_view.h"

#include "interpretation/ui/inversion_picture.h"

#include <QGraphicsScene>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

namespace veldro {

PictureView::PictureView() : QGraphicsView(new QGraphicsScene) {
    scene()->setParent(this);
    setObjectName(QStringLiteral("Picture"));
    setFrameShape(QFrame::NoFrame);
    setRenderHint(QPainter::Antialiasing);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void PictureView::showPicture(std::unique_ptr<InversionPicture> picture) {
    delete picture_;
    picture_ = picture.release();
    scene()->addItem(picture_);
    fit();
}

void PictureView::showHint(const QString& hint) {
    delete picture_;
    picture_ = nullptr;
    hint_ = hint;
    viewport()->unsetCursor();
    viewport()->update();
}

void PictureView::drawForeground(QPainter* painter, const QRectF&) {
    if (picture_ == nullptr) painter->drawText(sceneRect(), Qt::AlignCenter, hint_);
}

void PictureView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    fit();
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && picture_ != nullptr && clicked)
        clicked(mapToScene(event->position().toPoint()));
    QGraphicsView::mousePressEvent(event);
}

// A pointing hand over what a click does something to.
void PictureView::mouseMoveEvent(QMouseEvent* event) {
    if (tipAtPoint(event->position().toPoint()).isEmpty())
        viewport()->unsetCursor();
    else
        viewport()->setCursor(Qt::PointingHandCursor);
    QGraphicsView::mouseMoveEvent(event);
}

bool PictureView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QGraphicsView::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = tipAtPoint(help->pos());
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, viewport());
    return true;
}

QString PictureView::tipAtPoint(QPoint position) const {
    if (picture_ == nullptr || !tipAt) return {};
    return tipAt(mapToScene(position));
}

void PictureView::fit() {
    scene()->setSceneRect(QRectF(QPointF(0, 0), viewport()->size()));
    if (picture_ != nullptr) picture_->resize(viewport()->size());
}

} // namespace veldro
