#include "app/download_live_view.h"

#include "data/measurement_record.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace veldro {

namespace {

constexpr int kChartWidth = 357;
constexpr int kChartHeight = 150;
constexpr int kTickMs = 1000;
constexpr double kSmallestValueRange = 10; // %: a flat profile is not blown up
constexpr int kMargin = 26;

const QColor kTiltColour(0x1f, 0x4e, 0x9c);
const QColor kEllipticityColour(0xc0, 0x50, 0x20);
const QColor kPreviousColour(0xc8, 0xc8, 0xc8);

QString clockText(qint64 ms) {
    const qint64 s = ms / 1000;
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2").arg(s / 60 % 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    if (s < 3600) return minutesAndSeconds;
    return QStringLiteral("%1:%2").arg(s / 3600).arg(minutesAndSeconds.rightJustified(5, u'0'));
}

} // namespace

DownloadChart::DownloadChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DownloadChart"));
    setFixedSize(kChartWidth, kChartHeight);
}

void DownloadChart::clear() {
    current_ = {};
    previous_ = {};
    update();
}

void DownloadChart::add(const MeasurementRecord& record) {
    if (record.resistivityMode()) return;
    if (record.profile != current_.number) {
        if (!current_.empty()) previous_ = std::move(current_);
        current_ = {record.profile, {}};
    }
    Lines& lines = current_.frequencies[static_cast<std::size_t>(record.frequencyNumber() - 1)];
    lines.tilt.emplace_back(record.station, record.tiltVertical);
    lines.ellipticity.emplace_back(record.station, record.ellipticityVertical);
    update();
}

void DownloadChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRectF plot = QRectF(rect()).adjusted(kMargin, 18, -8, -16);

    double left = 0, right = 0, reach = kSmallestValueRange;
    bool any = false;
    for (const Profile* p : {&previous_, &current_})
        for (const Lines& lines : p->frequencies)
            for (const auto* line : {&lines.tilt, &lines.ellipticity})
                for (const QPointF& point : *line) {
                    left = any ? std::min(left, point.x()) : point.x();
                    right = any ? std::max(right, point.x()) : point.x();
                    reach = std::max(reach, std::abs(point.y()));
                    any = true;
                }
    if (right <= left) right = left + 1;
    const auto at = [&](const QPointF& p) {
        return QPointF(plot.left() + (p.x() - left) / (right - left) * plot.width(),
                       plot.center().y() - p.y() / reach * plot.height() / 2);
    };

    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    painter.setFont(small);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(at({left, 0}), at({right, 0}));
    painter.setPen(Qt::black);
    const QString top = QString::number(std::ceil(reach));
    painter.drawText(QRectF(0, plot.top() - 6, kMargin - 3, 12), Qt::AlignRight | Qt::AlignVCenter,
                     top);
    painter.drawText(QRectF(0, plot.bottom() - 6, kMargin - 3, 12),
                     Qt::AlignRight | Qt::AlignVCenter, QLatin1Char('-') + top);
    painter.drawText(QRectF(0, plot.center().y() - 6, kMargin - 3, 12),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0"));
    if (any) {
        const QRectF foot(plot.left(), plot.bottom() + 2, plot.width(), 14);
        painter.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, QString::number(left));
        painter.drawText(foot, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Station"));
        painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, QString::number(right));
    }
    const QRectF head(plot.left(), 2, plot.width(), 14);
    painter.setPen(kTiltColour);
    painter.drawText(head, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tilt.ver(%)"));
    painter.setPen(kEllipticityColour);
    painter.drawText(head.adjusted(80, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Ellip.ver(%)"));
    painter.setPen(Qt::black);
    if (current_.number >= 0)
        painter.drawText(head, Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("Profile # %1").arg(current_.number) +
                             (current_.frequencies[1].tilt.empty()
                                  ? QString()
                                  : QStringLiteral(", freq. 2 dashed")));

    painter.setRenderHint(QPainter::Antialiasing);
    const auto draw = [&](const std::vector<QPointF>& line, const QColor& colour,
                          Qt::PenStyle style) {
        if (line.empty()) return;
        QPainterPath path(at(line.front()));
        for (const QPointF& p : line) path.lineTo(at(p));
        painter.setPen(QPen(colour, 1.5, style));
        painter.drawPath(path);
        if (line.size() == 1) painter.drawEllipse(at(line.front()), 1.5, 1.5);
    };
    const auto drawProfile = [&](const Profile& p, const QColor& tilt, const QColor& ellipticity) {
        for (std::size_t f = 0; f < p.frequencies.size(); ++f) {
            const Qt::PenStyle style = f == 0 ? Qt::SolidLine : Qt::DashLine;
            draw(p.frequencies[f].ellipticity, ellipticity, style);
            draw(p.frequencies[f].tilt, tilt, style);
        }
    };
    drawProfile(previous_, kPreviousColour, kPreviousColour);
    drawProfile(current_, kTiltColour, kEllipticityColour);
}

DownloadLiveView::DownloadLiveView(QWidget* parent)
    : QWidget(parent), figures_(new QLabel(this)), chart_(new DownloadChart(this)),
      tick_(new QTimer(this)) {
    figures_->setObjectName(QStringLiteral("DownloadFigures"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(figures_, 0, Qt::AlignHCenter);
    layout->addWidget(chart_, 0, Qt::AlignHCenter);
    tick_->setInterval(kTickMs);
    connect(tick_, &QTimer::timeout, this, &DownloadLiveView::showFigures);
}

void DownloadLiveView::start() {
    count_ = 0;
    firstRecordMs_ = -1;
    chart_->clear();
    elapsed_.start();
    tick_->start();
    showFigures();
}

void DownloadLiveView::stop() {
    tick_->stop();
}

void DownloadLiveView::add(const MeasurementRecord& record, int count) {
    if (firstRecordMs_ < 0) firstRecordMs_ = elapsed_.elapsed();
    count_ = count;
    chart_->add(record);
    showFigures();
}

// The rate counts from the first record: the wait for the user to start the
// dump on the instrument is no part of it.
void DownloadLiveView::showFigures() {
    const qint64 now = elapsed_.elapsed();
    const qint64 transferMs = firstRecordMs_ < 0 ? 0 : now - firstRecordMs_;
    const QString rate =
        transferMs < 1000
            ? QStringLiteral("-")
            : QString::number(qRound(count_ * 1000.0 / static_cast<double>(transferMs)));
    figures_->setText(QStringLiteral("%1 records    %2 records/s    %3 elapsed")
                          .arg(count_)
                          .arg(rate, clockText(now)));
}

} // namespace veldro
