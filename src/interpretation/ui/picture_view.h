#pragma once

#include <QGraphicsView>
#include <QString>
#include <functional>
#include <memory>

namespace veldro {

class InversionPicture;

// The picked profile's picture, filling the view whatever its size; what a
// click on it does, and what the pointer is told over it, are its owner's.
class PictureView : public QGraphicsView {
public:
    PictureView();

    InversionPicture* picture() const { return picture_; }
    // Takes `picture`, dropping the one shown before.
    void showPicture(std::unique_ptr<InversionPicture> picture);
    // No picture: `hint` in its place.
    void showHint(const QString& hint);

    // At a scene position of the picture: a left click there, and its
    // tooltip (none when empty, and then no pointing hand either).
    std::function<void(QPointF)> clicked;
    std::function<QString(QPointF)> tipAt;

protected:
    void drawForeground(QPainter* painter, const QRectF&) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void fit();
    QString tipAtPoint(QPoint position) const;

    InversionPicture* picture_ = nullptr; // owned by the scene
    QString hint_;
};

} // namespace veldro
