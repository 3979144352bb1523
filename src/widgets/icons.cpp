#include "widgets/icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace veldro::icons {

namespace {

QPixmap drawn(int width, int height, const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return pixmap;
}

QPixmap checkBox(bool ticked) {
    return drawn(16, 16, [ticked](QPainter& p) {
        p.setPen(QPen(QColor(28, 81, 128), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        if (!ticked) return;
        p.setPen(QPen(QColor(0, 128, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(5, 8), QPointF(7.2, 10.5), QPointF(11.5, 5)}));
    });
}

QPixmap mast(int waves, int size) {
    return drawn(size, size, [waves, size](QPainter& p) {
        p.scale(size / 32.0, size / 32.0);
        paintMast(p, waves);
    });
}

QIcon fallback(Tool tool) {
    return QIcon(drawn(24, 24, [tool](QPainter& p) {
        const QPen outline(QColor(50, 50, 50), 1.2);
        p.setPen(outline);
        switch (tool) {
        case Tool::Open:
        case Tool::OpenLast: {
            p.setBrush(QColor(240, 200, 80));
            p.drawPolygon(QPolygonF({QPointF(2, 6), QPointF(9, 6), QPointF(11, 8), QPointF(21, 8),
                                     QPointF(21, 20), QPointF(2, 20)}));
            if (tool == Tool::OpenLast) {
                p.setBrush(Qt::white);
                p.drawEllipse(QPointF(16, 15), 5.5, 5.5);
                p.drawLine(QPointF(16, 15), QPointF(16, 11.5));
                p.drawLine(QPointF(16, 15), QPointF(18.5, 15));
            }
            break;
        }
        case Tool::Save:
            p.setBrush(QColor(70, 110, 190));
            p.drawRect(QRectF(3.5, 3.5, 17, 17));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(7, 3.5, 10, 6));
            p.drawRect(QRectF(6.5, 13, 11, 7.5));
            break;
        case Tool::Export:
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3.5, 3.5, 12, 17));
            p.setPen(QPen(QColor(0, 128, 0), 2.2));
            p.drawLine(QPointF(10, 12), QPointF(21, 12));
            p.drawPolyline(QPolygonF({QPointF(17, 8), QPointF(21, 12), QPointF(17, 16)}));
            break;
        case Tool::Download:
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(3.5, 15.5, 17, 5));
            p.setPen(QPen(QColor(0, 90, 200), 2.4));
            p.drawLine(QPointF(12, 3), QPointF(12, 14));
            p.drawPolyline(QPolygonF({QPointF(7.5, 9.5), QPointF(12, 14), QPointF(16.5, 9.5)}));
            break;
        case Tool::Comments:
            p.setBrush(QColor(255, 250, 200));
            p.drawRect(QRectF(3.5, 3.5, 14, 17));
            for (double y = 8; y < 19; y += 3.5) p.drawLine(QPointF(6, y), QPointF(15, y));
            p.setPen(QPen(QColor(180, 60, 0), 2.4));
            p.drawLine(QPointF(12, 19), QPointF(21, 6));
            break;
        case Tool::Help: {
            p.setBrush(QColor(30, 90, 200));
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
            QFont font;
            font.setBold(true);
            font.setPixelSize(15);
            p.setFont(font);
            p.setPen(Qt::white);
            p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
        case Tool::Print:
            p.setBrush(Qt::white);
            p.drawRect(QRectF(6.5, 2.5, 11, 8));
            p.setBrush(QColor(160, 160, 170));
            p.drawRoundedRect(QRectF(2.5, 9.5, 19, 8), 1.5, 1.5);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(6.5, 14.5, 11, 7));
            for (double y = 17; y < 21; y += 2) p.drawLine(QPointF(8.5, y), QPointF(15.5, y));
            break;
        case Tool::Font:
        case Tool::Colour: {
            QFont font(QStringLiteral("serif"));
            font.setBold(true);
            font.setPixelSize(tool == Tool::Font ? 20 : 16);
            p.setFont(font);
            p.setPen(QColor(30, 30, 30));
            p.drawText(QRectF(0, tool == Tool::Font ? 0 : -3, 24, 24), Qt::AlignCenter,
                       QStringLiteral("A"));
            if (tool == Tool::Colour) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(220, 30, 30));
                p.drawRect(QRectF(3, 18, 18, 4));
            }
            break;
        }
        }
    }));
}

const char* themeName(Tool tool) {
    switch (tool) {
    case Tool::Open:
        return "document-open";
    case Tool::OpenLast:
        return "document-open-recent";
    case Tool::Save:
        return "document-save-as";
    case Tool::Export:
        return "document-export";
    case Tool::Download:
        return "go-down";
    case Tool::Comments:
        return "accessories-text-editor";
    case Tool::Help:
        return "help-contents";
    case Tool::Print:
        return "document-print";
    case Tool::Font:
        return "preferences-desktop-font";
    case Tool::Colour:
        return "format-text-color";
    }
    return "";
}

} // namespace

void paintMast(QPainter& p, int waves) {
    p.setPen(QPen(QColor(60, 60, 60), 1.6));
    p.drawLine(QPointF(16, 8), QPointF(9, 30));
    p.drawLine(QPointF(16, 8), QPointF(23, 30));
    p.drawLine(QPointF(11.5, 22), QPointF(20.5, 22));
    p.drawLine(QPointF(13.3, 15), QPointF(18.7, 15));
    p.drawLine(QPointF(11.5, 22), QPointF(18.7, 15));
    p.setPen(QPen(QColor(30, 90, 200), 1.4));
    p.setBrush(Qt::NoBrush);
    for (int w = 1; w <= waves; ++w) {
        const double r = 3.0 + 2.4 * w;
        p.drawArc(QRectF(16 - r, 6 - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
        p.drawArc(QRectF(16 - r, 6 - r, 2 * r, 2 * r), 130 * 16, 100 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 0, 0));
    p.drawEllipse(QPointF(16, 6), 2.6, 2.6);
}

const QPixmap& keptBox() {
    static const QPixmap box = checkBox(true);
    return box;
}

const QPixmap& ignoredBox() {
    static const QPixmap box = checkBox(false);
    return box;
}

const QPixmap& lineChart() {
    static const QPixmap chart = drawn(16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(80, 80, 80), 1));
        p.drawLine(QPointF(2.5, 1.5), QPointF(2.5, 13.5));
        p.drawLine(QPointF(2.5, 13.5), QPointF(14.5, 13.5));
        p.setPen(QPen(QColor(200, 0, 0), 1.5));
        p.drawPolyline(
            QPolygonF({QPointF(3.5, 11), QPointF(6.5, 6), QPointF(9.5, 9), QPointF(14, 3)}));
    });
    return chart;
}

QIcon applicationIcon(int waves) {
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(mast(waves, size));
    return icon;
}

QPixmap linkPicture(int index) {
    if (index < 0 || index > 5) return {};
    return drawn(47, 15, [index](QPainter& p) {
        QFont font;
        font.setBold(true);
        font.setPixelSize(11);
        p.setFont(font);
        p.setPen(QColor(0, 0, 255));
        if (index >= 2) {
            p.drawText(QRectF(0, 0, 47, 15), Qt::AlignCenter,
                       QStringLiteral("COM %1").arg(index - 1));
            return;
        }
        p.drawText(QRectF(0, 0, 26, 15), Qt::AlignCenter, QStringLiteral("USB"));
        // The plug: a cable from the right into a body with two pins.
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(QRectF(31.5, 4.5, 7, 6));
        p.drawLine(QPointF(28, 6), QPointF(31.5, 6));
        p.drawLine(QPointF(28, 9), QPointF(31.5, 9));
        p.setPen(QPen(QColor(60, 60, 60), 1.6));
        p.drawLine(QPointF(38.5, 7.5), QPointF(46, 7.5));
        if (index == 0) {
            p.setPen(QPen(QColor(220, 0, 0), 2));
            p.drawLine(QPointF(2, 1), QPointF(45, 14));
            p.drawLine(QPointF(2, 14), QPointF(45, 1));
        }
    });
}

QIcon toolIcon(Tool tool) {
    return QIcon::fromTheme(QString::fromLatin1(themeName(tool)), fallback(tool));
}

} // namespace veldro::icons
