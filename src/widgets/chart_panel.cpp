#include "widgets/chart_panel.h"

#include "charts/chart_image.h"
#include "widgets/settings_store.h"
#include "widgets/ui_services.h"

#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace veldro {

namespace {

const Message kNoPrinter{"There is no printer to print on: the chart was not printed.\n"
                         "Set up a default printer, or keep the chart as a PDF with "
                         "\"Save image...\".",
                         "Print", MessageIcon::Warning};
const Message kPrintFailed{"The chart could not be printed.", "Print", MessageIcon::Error};

// Where the size of the pictures saved is remembered.
const QString kPictureSizeName = QStringLiteral("Picture");

// The filter entry of the picture's format, 1-based, as the save dialog counts.
int imageFilterIndex(const QString& path) {
    const QString format = QFileInfo(path).suffix().toLower();
    if (format == QLatin1String("svg")) return 2;
    if (format == QLatin1String("pdf")) return 3;
    return 1;
}

// Writes the window's size into the settings when it is hidden (closed).
class SizeKeeper : public QObject {
public:
    SizeKeeper(QWidget& window, QString name)
        : QObject(&window), window_(window), name_(std::move(name)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Hide)
            rememberSize(name_, window_.isMaximized() || window_.isFullScreen()
                                    ? window_.normalGeometry().size()
                                    : window_.size());
        return false;
    }

private:
    QWidget& window_;
    QString name_;
};

} // namespace

QPushButton* panelButton(const QString& caption, const char* name, const QString& tip) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(kPanelWidth, kPanelButtonHeight);
    button->setAutoDefault(false);
    button->setToolTip(tip);
    return button;
}

QVBoxLayout* stackPanel(QWidget& panel) {
    panel.setFixedWidth(kPanelWidth);
    auto* layout = new QVBoxLayout(&panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

QStatusBar* layOutPanelWindow(QWidget& window, QWidget* panel, QWidget* content) {
    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(panel);
    body->addWidget(content, 1);
    auto* status = new QStatusBar;
    status->setSizeGripEnabled(false);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(body, 1);
    layout->addWidget(status);
    return status;
}

void keepWindowSize(QWidget& window, const QString& name) {
    const QSize size = rememberedSize(name).value_or(window.size());
    window.resize(size.expandedTo(window.minimumSizeHint()));
    window.installEventFilter(new SizeKeeper(window, name));
}

void printChartOn(UiServices& ui, const std::function<bool(QPrinter&)>& print) {
    QPrinter printer;
    if (!ui.preparePrinter(printer, false)) {
        ui.tell(kNoPrinter);
        return;
    }
    if (!print(printer)) ui.tell(kPrintFailed);
}

void saveChartImageAs(UiServices& ui, const QString& proposed,
                      const std::function<QString(const QString& path, QSize size)>& save) {
    const QFileInfo start(proposed);
    const QString path = ui.saveFileName({start.absolutePath(), start.fileName(), kChartImageFilter,
                                          imageFilterIndex(proposed), QStringLiteral("png")});
    if (path.isEmpty()) return;
    const std::optional<QSize> size =
        ui.pictureSize(rememberedSize(kPictureSizeName).value_or(kChartPictureSize));
    if (!size) return;
    const QSize drawn = size->expandedTo(QSize(kLeastPictureSide, kLeastPictureSide))
                            .boundedTo(QSize(kMostPictureSide, kMostPictureSide));
    rememberSize(kPictureSizeName, drawn);
    const QString error = save(path, drawn);
    if (!error.isEmpty())
        ui.tell(
            {QStringLiteral("The chart was not saved in %1: %2.").arg(path, error).toStdString(),
             "Save image", MessageIcon::Error});
}

} // namespace veldro
