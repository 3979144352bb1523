#include "app/link_menu.h"

#include "app/icons.h"
#include "app/main_window.h"
#include "link/d2xx.h"
#include "link/port.h"

#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTimer>
#include <stdexcept>

namespace veldro {

namespace {

const Message kPortLocked{"Communication port locked, please quit program before changing it",
                          "WARNING", MessageIcon::Warning};

#ifdef Q_OS_WIN
const QString kLinkTestName = QStringLiteral("LinkTest.exe");
#else
const QString kLinkTestName = QStringLiteral("LinkTest");
#endif

constexpr int kIconFrameMs = 400;
constexpr int kConverterCountMs = 500;

} // namespace

std::optional<int> linkPictureIndex(int portNumber, bool converterAttached) {
    if (portNumber == usbPortNumber) return converterAttached ? 1 : 0;
    if (portNumber >= 1 && portNumber <= 4) return portNumber + 1;
    return std::nullopt;
}

void startLinkTest(const QString& programFolder) {
    const QString path = QDir(programFolder).filePath(kLinkTestName);
    if (!QFileInfo(path).isFile() ||
        !QProcess::startDetached(path, {QStringLiteral(" ")}, programFolder))
        throw std::runtime_error("Unable to find LinkTest.exe\n(Please reinstall the software)");
}

void TMainFrm::buildLinkParts() {
    for (int frame = 0; frame < static_cast<int>(iconFrames_.size()); ++frame)
        iconFrames_[static_cast<std::size_t>(frame)] = icons::applicationIcon(frame);
    Timer1 = new QTimer(this);
    Timer1->setInterval(kIconFrameMs);
    connect(Timer1, &QTimer::timeout, this, &TMainFrm::Timer1Timer);
    Timer1->start();
    ConverterWatch = new QTimer(this);
    ConverterWatch->setInterval(kConverterCountMs);
    connect(ConverterWatch, &QTimer::timeout, this, &TMainFrm::ConverterWatchTimer);
}

void TMainFrm::checkPortItem() {
    for (QAction* item : portGroup->actions())
        item->setChecked(item->data().toInt() == settings_.portNumber);
}

void TMainFrm::watchConverter() {
    if (settings_.portNumber == usbPortNumber)
        ConverterWatch->start();
    else
        ConverterWatch->stop();
    ShowPortImage();
}

// A port that once connected fixes the link for the rest of the run.
void TMainFrm::ComCheck(QAction* item) {
    const int chosen = item->data().toInt();
    if (currentPort_ && currentPort_->isLocked()) {
        checkPortItem(); // the menu checked the clicked item already
        if (chosen != settings_.portNumber) services_.tell(kPortLocked);
        return;
    }
    settings_.portNumber = chosen;
    checkPortItem();
    // The picture follows the choice even when the checker below is missing.
    watchConverter();
    if (chosen == usbPortNumber) startLinkTest(QCoreApplication::applicationDirPath());
}

void TMainFrm::ShowPortImage() {
    if (settings_.portNumber == usbPortNumber) converterAttached_ = CountUsbDevices(d2xx_) > 0;
    const std::optional<int> index = linkPictureIndex(settings_.portNumber, converterAttached_);
    Image2->setPixmap(index ? icons::linkPicture(*index) : QPixmap());
}

void TMainFrm::ConverterWatchTimer() {
    if ((CountUsbDevices(d2xx_) > 0) != converterAttached_) ShowPortImage();
}

void TMainFrm::Timer1Timer() {
    const QIcon& icon = iconFrames_[static_cast<std::size_t>(frame_)];
    QApplication::setWindowIcon(icon);
    setWindowIcon(icon);
    frame_ = (frame_ + 1) % static_cast<int>(iconFrames_.size());
}

} // namespace veldro
