#include "app/status_line.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>

namespace veldro {

namespace {

// A panel whose text, when too long, loses its middle rather than its ends:
// both the folder and the file name of a long path stay in sight.
class MiddleElidedLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        drawFrame(&painter);
        const QRect area = contentsRect().adjusted(margin() + 2, 0, -margin() - 2, 0);
        painter.drawText(area, static_cast<int>(alignment()),
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

constexpr int kNoteMs = 10000;

QLabel* statusPanel(QLabel* panel, const char* name, int width) {
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFixedWidth(width);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    return panel;
}

QProgressBar* newProgressBar(QWidget& parent) {
    auto* bar = new QProgressBar(&parent);
    bar->setObjectName(QStringLiteral("ProgressBar1"));
    bar->setFixedHeight(9);
    bar->setTextVisible(false);
    bar->setRange(0, 1);
    bar->setValue(0);
    return bar;
}

} // namespace

void BarProgress::setMaximum(int maximum) {
    bar_.setRange(0, std::max(maximum, 1));
}

void BarProgress::setPosition(int position) {
    bar_.setValue(position);
}

int BarProgress::position() const {
    return bar_.value();
}

StatusLine::StatusLine(QWidget& parent)
    : StatusBar1(new QStatusBar(&parent)),
      StatusPanel0(statusPanel(new QLabel, "StatusPanel0", 128)),
      StatusPanel1(statusPanel(new MiddleElidedLabel, "StatusPanel1", 340)),
      Image2(statusPanel(new QLabel, "Image2", 49)), ProgressBar1(newProgressBar(parent)),
      progress_(*ProgressBar1), noteTimer_(new QTimer(StatusBar1)) {
    // Panel 0 grows for a text wider than its design width.
    StatusPanel0->setMinimumWidth(StatusPanel0->maximumWidth());
    StatusPanel0->setMaximumWidth(QWIDGETSIZE_MAX);
    noteTimer_->setSingleShot(true);
    noteTimer_->setInterval(kNoteMs);
    QObject::connect(noteTimer_, &QTimer::timeout, StatusBar1, [this] { endNote(); });
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->addWidget(StatusPanel0);
    StatusBar1->addWidget(StatusPanel1);
    StatusBar1->addPermanentWidget(Image2);
}

void StatusLine::setPanel0(const QString& text) {
    StatusPanel0->setText(text);
}

void StatusLine::setPanel1(const QString& text) {
    noteTimer_->stop();
    file_ = text;
    StatusPanel1->setText(text);
    StatusPanel1->setToolTip(text);
}

void StatusLine::showNote(const QString& text) {
    StatusPanel1->setText(text);
    StatusPanel1->setToolTip(text);
    noteTimer_->start();
}

void StatusLine::endNote() {
    if (StatusPanel1->text() == file_) return;
    setPanel1(file_);
}

void StatusLine::setLinkPicture(const QPixmap& picture) {
    Image2->setPixmap(picture);
}

void StatusLine::resetProgress() {
    ProgressBar1->setValue(0);
}

} // namespace veldro
