#include "widgets/ui_services.h"

#include "widgets/help_window.h"
#include "widgets/picture_size_dialog.h"
#include "widgets/window_place.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QUrl>

namespace veldro {

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString fileDialog(QWidget* parent, const FileDialogRequest& request,
                   QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    // An open may name a file that is not there: the command says so itself.
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = qtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    dialog.setDirectory(request.directory);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.suffixOfFilter)
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, &filters, &request](const QString& filter) {
                             dialog.setDefaultSuffix(request.suffixOfFilter(
                                 static_cast<int>(filters.indexOf(filter)) + 1));
                         });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QStringList qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype open = description.lastIndexOf(u'(');
        if (open >= 0 && description.endsWith(u')')) description.truncate(open);
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            if (pattern == u"*.*") pattern = QStringLiteral("*");
        filters << description.trimmed() + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

QtUiServices::QtUiServices(QWidget* parent) : parent_(parent) {}

QtUiServices::~QtUiServices() = default;

QMessageBox::StandardButton QtUiServices::ask(const Message& message,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton) {
    return show(message, buttons, defaultButton, {});
}

void QtUiServices::tellWithDetail(const Message& message, const QString& detail) {
    show(message, QMessageBox::Ok, QMessageBox::Ok, detail);
}

namespace {

// Room in a title bar besides its caption: the window's icon and buttons.
constexpr int kTitleBarRoom = 140;

// A box as narrow as a short text ("Port error") leaves the window manager
// too little room for the caption ("V..."): the box is made wide enough.
void fitCaption(QMessageBox& box, const QString& caption) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(caption) + kTitleBarRoom;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

std::unique_ptr<QMessageBox> messageBox(const Message& message,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton,
                                        QWidget* parent) {
    const QString caption = message.caption.empty() ? QApplication::applicationName()
                                                    : QString::fromStdString(message.caption);
    auto box = std::make_unique<QMessageBox>(qtIcon(message.icon), caption,
                                             QString::fromStdString(message.text), buttons, parent);
    box->setDefaultButton(defaultButton);
    fitCaption(*box, caption);
    return box;
}

QMessageBox::StandardButton QtUiServices::show(const Message& message,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton,
                                               const QString& detail) {
    const std::unique_ptr<QMessageBox> box = messageBox(message, buttons, defaultButton, parent_);
    if (!detail.isEmpty()) box->setDetailedText(detail);
    // A question asked in the middle of a command shows the normal pointer.
    const bool waiting = QApplication::overrideCursor() != nullptr;
    if (waiting) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const auto answer = static_cast<QMessageBox::StandardButton>(box->exec());
    if (waiting) QApplication::restoreOverrideCursor();
    return answer;
}

QString QtUiServices::openFileName(const FileDialogRequest& request) {
    return fileDialog(parent_, request, QFileDialog::AcceptOpen);
}

QString QtUiServices::saveFileName(const FileDialogRequest& request) {
    return fileDialog(parent_, request, QFileDialog::AcceptSave);
}

QString QtUiServices::directoryName(const QString& start) {
    return QFileDialog::getExistingDirectory(parent_, QString(), start, QFileDialog::ShowDirsOnly);
}

// Modal to the window under it only, so that the user guide opened from a
// dialog's Help button takes the mouse and the keyboard.
int QtUiServices::runDialog(QDialog& dialog) {
    dialog.setWindowModality(Qt::WindowModal);
    fitOnScreen(dialog);
    return dialog.exec();
}

bool QtUiServices::preparePrinter(QPrinter& printer, bool ask) {
    if (ask) {
        QPrintDialog dialog(&printer, parent_);
        return dialog.exec() == QDialog::Accepted;
    }
    if (QPrinterInfo::defaultPrinter().isNull()) return false;
    printer.setPrinterName(QPrinterInfo::defaultPrinter().printerName());
    return true;
}

// One help window for the run, made when first asked for.
void QtUiServices::showHelp(int context) {
    if (!help_) help_ = std::make_unique<HelpWindow>(*this);
    help_->showContext(context);
}

void QtUiServices::closeHelp() {
    if (help_) help_->close();
}

void QtUiServices::openUrl(const QUrl& url) {
    if (!QDesktopServices::openUrl(url))
        tell({"No web browser could open " + url.toString().toStdString(), "",
              MessageIcon::Warning});
}

bool QtUiServices::startDetached(const QString& program, const QStringList& arguments,
                                 const QString& folder) {
    return QProcess::startDetached(program, arguments, folder);
}

QFont withStyleName(QFont font) {
    const QString family = QFontInfo(font).family();
    const bool slanted = font.style() != QFont::StyleNormal;
    for (const QString& style : QFontDatabase::styles(family)) {
        const QFont face = QFontDatabase::font(family, style, 10); // any size has its style
        if ((face.style() != QFont::StyleNormal) == slanted && face.weight() == font.weight()) {
            font.setFamily(family);
            font.setStyleName(style);
            break;
        }
    }
    return font;
}

std::optional<QSize> QtUiServices::pictureSize(QSize proposed) {
    PictureSizeDialog dialog(proposed, parent_);
    if (runDialog(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.pictureSize();
}

std::optional<QFont> QtUiServices::chooseFont(const QFont& initial) {
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, withStyleName(initial), parent_);
    return chosen ? std::optional<QFont>(font) : std::nullopt;
}

std::optional<QColor> QtUiServices::chooseColour(const QColor& initial) {
    const QColor colour = QColorDialog::getColor(initial, parent_);
    return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
}

} // namespace veldro
