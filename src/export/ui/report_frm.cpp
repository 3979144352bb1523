#include "export/ui/report_frm.h"

#include "charts/local_file_name.h"
#include "data/file_io.h"
#include "export/rtf.h"
#include "export/text_document.h"
#include "export/ui/long_text_view.h"
#include "export/ui/rich_text_document.h"
#include "widgets/icons.h"
#include "widgets/ui_services.h"
#include "widgets/wait_cursor.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPrinter>
#include <QScreen>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace veldro {

namespace {

constexpr int kDesignWidth = 777;
constexpr int kDesignHeight = 484;
constexpr int kToolBarHeight = 29;

const QString kSaveFilter = QStringLiteral("Fichier RTF (*.RTF)|*.RTF|Fichier texte (*.TXT)|*.TXT|"
                                           "Tous les fichiers (*.*)|*.*");
const QString kRtfEntry = QStringLiteral("Fichier RTF (*.RTF)");
const Message kCloseUnsaved{"Close without saving the changes?", "Report", MessageIcon::Warning};

// The largest text the editor lays out and edits at the speed of typing:
// it takes half a second to lay out 2 MB, and twice as long for each doubling
// (report_qbench); a survey of 6000 records makes a report of 2 MB.
constexpr std::size_t kLargestEditable = std::size_t{2} << 20;
constexpr std::size_t kLongestEditableLine = 4000;
constexpr std::size_t kMostEditableRuns = 20000;

bool editable(std::string_view text, std::size_t runs) {
    if (text.size() > kLargestEditable || runs > kMostEditableRuns) return false;
    std::size_t line = 0;
    for (char c : text) {
        line = c == '\n' ? 0 : line + 1;
        if (line > kLongestEditableLine) return false;
    }
    return true;
}

// Courier New at 10 points, or the nearest monospaced font this system has.
QFont reportFont() {
    const QStringList installed = QFontDatabase::families();
    for (const char* family : {"Courier New", "Liberation Mono", "DejaVu Sans Mono"})
        if (installed.contains(QString::fromLatin1(family)))
            return QFont(QString::fromLatin1(family), 10);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(10);
    return fixed;
}

// "1 character was", "3 characters were".
QString charactersWere(std::size_t n) {
    return n == 1 ? QStringLiteral("1 character was") : QStringLiteral("%1 characters were").arg(n);
}

// What a Save in comment mode could not keep, for the box that says so.
QString commentLoss(const CommentFit& fit, std::size_t capacity) {
    QStringList lines;
    if (fit.cut > 0)
        lines << QStringLiteral("The comment holds at most %1 characters: the last %2 cut.")
                     .arg(capacity - 1)
                     .arg(charactersWere(fit.cut));
    if (fit.replaced > 0)
        lines << QStringLiteral("The comment cannot hold some characters: %1 replaced by \"?\".")
                     .arg(charactersWere(fit.replaced));
    return lines.join(u'\n');
}

} // namespace

TReportFrm::TReportFrm(UiServices& ui, QWidget* parent)
    : QDialog(parent), ui_(ui), ToolBar1(new QToolBar(this)), ReportMemo(new QTextEdit(this)),
      ReportView(new LongTextView(this)), readOnlyNote_(new QLabel(this)),
      findBox_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("ReportFrm"));
    setWindowTitle(QStringLiteral("Report"));
    setWindowFlags((windowFlags() | Qt::WindowMinMaxButtonsHint) &
                   ~Qt::WindowContextHelpButtonHint);

    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFixedHeight(kToolBarHeight);
    ToolBar1->setIconSize(QSize(20, 20));
    ToolBar1->addWidget(toolButton("SaveBtn", icons::toolIcon(icons::Tool::Save),
                                   QStringLiteral("File save"), QKeySequence::Save,
                                   &TReportFrm::SaveBtnClick));
    ToolBar1->addSeparator();
    ToolBar1->addWidget(toolButton("PrintBtn", icons::toolIcon(icons::Tool::Print),
                                   QStringLiteral("Print"), QKeySequence::Print,
                                   &TReportFrm::PrintBtnClick));
    ToolBar1->addSeparator();
    ToolBar1->addWidget(toolButton("FontBtn", icons::toolIcon(icons::Tool::Font),
                                   QStringLiteral("Font"), {}, &TReportFrm::FontBtnClick));
    ToolBar1->addWidget(toolButton("ColourBtn", icons::toolIcon(icons::Tool::Colour),
                                   QStringLiteral("Colour"), {}, &TReportFrm::ColourBtnClick));

    ReportMemo->setObjectName(QStringLiteral("ReportMemo"));
    ReportMemo->setLineWrapMode(QTextEdit::NoWrap);
    ReportMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ReportMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette palette = ReportMemo->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    ReportMemo->setPalette(palette);
    const QFont font = reportFont();
    ReportMemo->setFont(font);
    ReportMemo->document()->setDefaultFont(font);

    ReportView->setObjectName(QStringLiteral("ReportView"));
    ReportView->setPalette(palette);
    ReportView->setFont(font);
    ReportView->hide();
    readOnlyNote_->setObjectName(QStringLiteral("ReadOnlyNote"));
    readOnlyNote_->setContentsMargins(6, 3, 6, 3);
    readOnlyNote_->hide();

    ToolBar1->addSeparator();
    findBox_->setObjectName(QStringLiteral("FindBox"));
    findBox_->setPlaceholderText(QStringLiteral("Find (Ctrl+F)"));
    findBox_->setToolTip(QStringLiteral("Enter finds the next place that holds this text"));
    findBox_->setMaximumWidth(220);
    ToolBar1->addWidget(findBox_);
    connect(findBox_, &QLineEdit::returnPressed, this, &TReportFrm::findNext);
    auto* findAction = new QAction(this);
    findAction->setShortcut(QKeySequence::Find);
    connect(findAction, &QAction::triggered, findBox_, [this] {
        findBox_->setFocus();
        findBox_->selectAll();
    });
    addAction(findAction);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(readOnlyNote_);
    layout->addWidget(ReportMemo, 1);
    layout->addWidget(ReportView, 1);

    resize(kDesignWidth, kDesignHeight);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    move(screen->availableGeometry().center() - rect().center());
}

QToolButton* TReportFrm::toolButton(const char* name, const QIcon& icon, const QString& hint,
                                    const QKeySequence& shortcut, void (TReportFrm::*click)()) {
    auto* button = new QToolButton(ToolBar1);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(icon);
    button->setShortcut(shortcut);
    button->setToolTip(shortcut.isEmpty() ? hint
                                          : hint + QStringLiteral(" (") +
                                                shortcut.toString(QKeySequence::NativeText) + u')');
    button->setAutoRaise(true);
    connect(button, &QToolButton::clicked, this, click);
    return button;
}

void TReportFrm::openFile(const QString& fileName, const QString& extension) {
    // Ample for the largest report; a huge file picked by mistake is refused
    // rather than read whole.
    constexpr std::size_t kLargestShown = std::size_t{64} << 20;
    const std::vector<std::uint8_t> bytes = readFileStart(localName(fileName), kLargestShown + 1);
    if (bytes.size() > kLargestShown)
        throw FileError("Cannot show " + localName(fileName) + ": larger than 64 MB");
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    WaitCursor wait;
    if (isRtf(text)) {
        StyledText runs = readRtf(text);
        const std::string letters = runs.text();
        if (editable(letters, runs.size()))
            showRuns(*ReportMemo, runs);
        else
            showReadOnly(letters, std::move(runs));
    } else {
        const std::string plain = textFromCp1252(text);
        if (editable(plain, 1))
            showText(*ReportMemo, plain);
        else
            showReadOnly(plain, {});
    }
    saveFilter_ = extension + QStringLiteral("|*") + extension + u'|' + kSaveFilter;
    capacity_ = 0;
}

// Rich text keeps its runs for Save; the window shows the letters alone.
void TReportFrm::showReadOnly(std::string_view utf8, StyledText runs) {
    readOnlyRuns_ = std::move(runs);
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    text.replace(QChar::LineSeparator, u'\n');
    const qsizetype lines = text.count(u'\n') + (text.endsWith(u'\n') ? 0 : 1);
    ReportView->setText(std::move(text));
    ReportMemo->clear();
    ReportMemo->hide();
    ReportView->show();
    for (const char* name : {"FontBtn", "ColourBtn"})
        findChild<QToolButton*>(QString::fromLatin1(name))->setEnabled(false);
    readOnlyNote_->setText(QStringLiteral("%1 lines: too large to edit here, shown read-only%2.")
                               .arg(QLocale::system().toString(lines),
                                    readOnlyRuns_.empty()
                                        ? QString()
                                        : QStringLiteral(" without its fonts and colours, "
                                                         "which Save keeps")));
    readOnlyNote_->show();
}

bool TReportFrm::readOnly() const {
    return !ReportView->isHidden();
}

void TReportFrm::openComment(std::string_view text, std::size_t capacity, CommentStore store) {
    ReportMemo->setPlainText(QString::fromStdString(textFromCp1252(text)));
    capacity_ = capacity;
    commentStore_ = std::move(store);
}

QString TReportFrm::SaveDialog1TypeChange(int index) const {
    const QStringList parts = saveFilter_.split(u'|');
    const qsizetype description = 2 * static_cast<qsizetype>(index - 1);
    const bool rtf =
        description >= 0 && description < parts.size() && parts[description] == kRtfEntry;
    return rtf ? QStringLiteral("RTF") : QStringLiteral("TXT");
}

void TReportFrm::SaveBtnClick() {
    if (capacity_ > 0)
        saveComment();
    else
        saveFile();
}

// Rich text by the chosen name's extension alone; the dialog asked before
// replacing a file.
void TReportFrm::saveFile() {
    FileDialogRequest request{QDir::currentPath(), {}, saveFilter_, 1, QStringLiteral("TXT")};
    request.suffixOfFilter = [this](int index) { return SaveDialog1TypeChange(index); };
    const QString chosen = ui_.saveFileName(request);
    if (chosen.isEmpty()) return;
    const std::string path = localName(chosen);
    WaitCursor wait;
    std::string bytes;
    if (!readOnly())
        bytes = isRtfFileName(path) ? writeRtf(runsOf(*ReportMemo->document()))
                                    : cp1252FileFromText(ReportMemo->toPlainText().toStdString());
    else if (!isRtfFileName(path))
        bytes = cp1252FileFromText(ReportView->text().toStdString());
    else
        bytes = writeRtf(!readOnlyRuns_.empty()
                             ? readOnlyRuns_
                             : plainRuns(ReportView->text().toStdString(), ReportView->font()));
    try {
        writeFileAtomically(path, bytes);
        ReportMemo->document()->setModified(false);
    } catch (const FileError& error) {
        ui_.tell({error.what(), "Error", MessageIcon::Error});
    }
}

void TReportFrm::saveComment() {
    const CommentFit fit = fitComment(ReportMemo->toPlainText().toStdString(), capacity_);
    if (fit.cut > 0 || fit.replaced > 0)
        ui_.tell(
            {commentLoss(fit, capacity_).toStdString(), "Edit comments", MessageIcon::Warning});
    commentStore_(fit.bytes);
    ReportMemo->document()->setModified(false);
}

void TReportFrm::reject() {
    if (ReportMemo->document()->isModified() &&
        ui_.ask(kCloseUnsaved, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
            QMessageBox::Yes)
        return;
    QDialog::reject();
}

void TReportFrm::PrintBtnClick() {
    QPrinter printer;
    if (!ui_.preparePrinter(printer, true)) return;
    printer.setDocName(
        QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    WaitCursor wait;
    if (readOnly())
        ReportView->print(printer);
    else
        ReportMemo->print(&printer);
}

void TReportFrm::findNext() {
    const QString what = findBox_->text();
    if (what.isEmpty()) return;
    bool found = false;
    if (readOnly()) {
        found = ReportView->find(what);
    } else {
        found = ReportMemo->find(what);
        if (!found) { // on from the start
            const QTextCursor caret = ReportMemo->textCursor();
            ReportMemo->moveCursor(QTextCursor::Start);
            found = ReportMemo->find(what);
            if (!found) ReportMemo->setTextCursor(caret);
        }
    }
    if (!found)
        ui_.tell({QStringLiteral("\"%1\" was not found.").arg(what).toStdString(), "Report",
                  MessageIcon::Information});
}

// Applies to the selection, or to the text typed next at the caret.
void TReportFrm::FontBtnClick() {
    const QFont current =
        ReportMemo->currentCharFormat().font().resolve(ReportMemo->document()->defaultFont());
    const std::optional<QFont> chosen = ui_.chooseFont(current);
    if (!chosen) return;
    QTextCharFormat format;
    format.setFont(*chosen);
    ReportMemo->mergeCurrentCharFormat(format);
}

void TReportFrm::ColourBtnClick() {
    const QBrush brush = ReportMemo->currentCharFormat().foreground();
    const QColor current =
        brush.style() != Qt::NoBrush ? brush.color() : ReportMemo->palette().color(QPalette::Text);
    const std::optional<QColor> chosen = ui_.chooseColour(current);
    if (!chosen) return;
    QTextCharFormat format;
    format.setForeground(*chosen);
    ReportMemo->mergeCurrentCharFormat(format);
}

} // namespace veldro
