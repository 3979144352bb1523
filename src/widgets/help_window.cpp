#include "widgets/help_window.h"

#include "widgets/ui_services.h"
#include "widgets/window_place.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolBar>
#include <algorithm>

namespace veldro {

namespace {

struct HelpTopic {
    int context;
    const char* page;
};

constexpr HelpTopic kTopics[] = {{100, "index.html"},
                                 {1600, "filtering.html"},
                                 {kModelWindowHelp, "model.html#window"},
                                 {kInversionDialogHelp, "inversion.html#dialog"},
                                 {kInversionWindowHelp, "inversion.html#window"},
                                 {kLayeredInversionHelp, "inversion.html#invert1d"}};

constexpr int kPictureMargin = 16;

bool isWebLink(const QUrl& url) {
    const QString scheme = url.scheme();
    return scheme == u"http" || scheme == u"https" || scheme == u"mailto";
}

QUrl withoutFragment(QUrl url) {
    url.setFragment({});
    return url;
}

// Pictures wider than the page are scaled down smoothly to fit it when the
// page is loaded; the document itself would scale them pixel by pixel.
class GuideBrowser : public QTextBrowser {
public:
    QVariant loadResource(int type, const QUrl& name) override {
        QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::ImageResource) return resource;
        QImage picture = resource.value<QImage>();
        if (picture.isNull()) picture.loadFromData(resource.toByteArray());
        const int room = viewport()->width() - 2 * kPictureMargin;
        if (picture.width() > room && room > 0)
            picture = picture.scaledToWidth(room, Qt::SmoothTransformation);
        return picture;
    }
};

// A button of the toolbar: the desktop theme's icon, else the style's.
QAction* toolAction(QToolBar* bar, const char* name, const QString& text, const char* themeIcon,
                    QStyle::StandardPixmap styleIcon, const QKeySequence& shortcut) {
    QAction* action = bar->addAction(
        QIcon::fromTheme(QString::fromLatin1(themeIcon), bar->style()->standardIcon(styleIcon)),
        text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    action->setToolTip(
        QStringLiteral("%1 (%2)").arg(text, shortcut.toString(QKeySequence::NativeText)));
    return action;
}

} // namespace

QString helpPage(int context) {
    for (const HelpTopic& topic : kTopics)
        if (topic.context == context) return QString::fromLatin1(topic.page);
    return QString::fromLatin1(kTopics[0].page);
}

QUrl guideContents() {
    const QDir installed(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/" VELDRO_GUIDE_FROM_PROGRAM));
    if (installed.exists(QStringLiteral("index.html")))
        return QUrl::fromLocalFile(installed.filePath(QStringLiteral("index.html")));
    return QUrl(QStringLiteral("qrc:/docs/guide/index.html"));
}

HelpWindow::HelpWindow(UiServices& ui, QWidget* parent)
    : QMainWindow(parent), ui_(ui), HelpBrowser(new GuideBrowser), HelpContents(new QListWidget),
      HelpFind(new QLineEdit) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Veldro Help"));
    HelpBrowser->setObjectName(QStringLiteral("HelpBrowser"));
    HelpBrowser->setOpenLinks(false);
    HelpContents->setObjectName(QStringLiteral("HelpContents"));
    HelpFind->setObjectName(QStringLiteral("HelpFind"));

    auto* splitter = new QSplitter;
    splitter->addWidget(HelpContents);
    splitter->addWidget(HelpBrowser);
    splitter->setStretchFactor(1, 1);
    setCentralWidget(splitter);
    buildToolBar();
    statusBar();

    connect(HelpBrowser, &QTextBrowser::anchorClicked, this, &HelpWindow::follow);
    connect(HelpBrowser, &QTextBrowser::sourceChanged, this, &HelpWindow::pageShown);
    connect(HelpBrowser, &QTextBrowser::highlighted, this, [this](const QUrl& link) {
        statusBar()->showMessage(link.isEmpty() ? QString() : link.toString());
    });
    // A click, or Return on the keyboard; a double click is both.
    for (auto chosen : {&QListWidget::itemClicked, &QListWidget::itemActivated})
        connect(HelpContents, chosen, this, [this](QListWidgetItem* item) {
            const QUrl page = item->data(Qt::UserRole).toUrl();
            if (withoutFragment(HelpBrowser->source()) != page) HelpBrowser->setSource(page);
        });
    fillContents();

    resize(1040, 780);
    fitOnScreen(*this);
    // The contents as wide as their longest title, within two fifths of the window.
    const int titles = HelpContents->sizeHintForColumn(0) + 2 * HelpContents->frameWidth() + 8;
    splitter->setSizes({std::min(titles, width() * 2 / 5), width()});
}

void HelpWindow::buildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Help"));
    bar->setObjectName(QStringLiteral("HelpToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* back = toolAction(bar, "HelpBack", QStringLiteral("Back"), "go-previous",
                               QStyle::SP_ArrowBack, QKeySequence::Back);
    QAction* forward = toolAction(bar, "HelpForward", QStringLiteral("Forward"), "go-next",
                                  QStyle::SP_ArrowForward, QKeySequence::Forward);
    QAction* contents = toolAction(bar, "HelpHome", QStringLiteral("Contents"), "go-home",
                                   QStyle::SP_DirHomeIcon, QKeySequence(Qt::ALT | Qt::Key_Home));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QAction::triggered, HelpBrowser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, HelpBrowser, &QTextBrowser::forward);
    connect(HelpBrowser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(HelpBrowser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(contents, &QAction::triggered, this, [this] { showContext(kTopics[0].context); });

    auto* spring = new QWidget;
    spring->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spring);
    HelpFind->setPlaceholderText(QStringLiteral("Find in page"));
    HelpFind->setClearButtonEnabled(true);
    HelpFind->setMaximumWidth(220);
    bar->addWidget(HelpFind);
    QAction* previous = toolAction(bar, "HelpFindPrevious", QStringLiteral("Previous"), "go-up",
                                   QStyle::SP_ArrowUp, QKeySequence::FindPrevious);
    QAction* next = toolAction(bar, "HelpFindNext", QStringLiteral("Next"), "go-down",
                               QStyle::SP_ArrowDown, QKeySequence::FindNext);
    connect(previous, &QAction::triggered, this,
            [this] { findInPage(QTextDocument::FindBackward, true); });
    connect(next, &QAction::triggered, this, [this] { findInPage({}, true); });
    connect(HelpFind, &QLineEdit::textEdited, this, [this] { findInPage({}, false); });
    connect(HelpFind, &QLineEdit::returnPressed, next, &QAction::trigger);

    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        HelpFind->setFocus();
        HelpFind->selectAll();
    });
    auto* close = new QAction(this);
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addActions({find, close});
}

// The contents are the pages the contents page links to, in its order.
void HelpWindow::fillContents() {
    const QUrl home = guideContents();
    QTextDocument page;
    page.setHtml(HelpBrowser->loadResource(QTextDocument::HtmlResource, home).toString());
    QList<QUrl> listed;
    auto* contents = new QListWidgetItem(QStringLiteral("Contents"), HelpContents);
    contents->setData(Qt::UserRole, home);
    listed << home;
    for (QTextBlock block = page.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            const QUrl link(format.anchorHref());
            if (!format.isAnchor() || link.isEmpty() || isWebLink(link) || link.hasFragment())
                continue;
            const QUrl target = home.resolved(link);
            if (listed.contains(target)) continue;
            listed << target;
            auto* item = new QListWidgetItem(fragment.fragment().text().trimmed(), HelpContents);
            item->setData(Qt::UserRole, target);
        }
    }
}

// Shown first, so that the page's pictures are fitted to the laid-out page.
void HelpWindow::showContext(int context) {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    HelpBrowser->setSource(guideContents().resolved(QUrl(helpPage(context))));
}

void HelpWindow::follow(const QUrl& link) {
    const QUrl target = HelpBrowser->source().resolved(link);
    if (isWebLink(target))
        ui_.openUrl(target);
    else
        HelpBrowser->setSource(target);
}

void HelpWindow::pageShown(const QUrl& page) {
    const QUrl shown = withoutFragment(page);
    HelpContents->clearSelection();
    for (int row = 0; row < HelpContents->count(); ++row) {
        QListWidgetItem* item = HelpContents->item(row);
        if (item->data(Qt::UserRole).toUrl() == shown) HelpContents->setCurrentItem(item);
    }
    const QString title = HelpBrowser->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Veldro Help")
                                   : QStringLiteral("Veldro Help - ") + title);
}

void HelpWindow::findInPage(QTextDocument::FindFlags flags, bool again) {
    const QString text = HelpFind->text();
    if (!again) {
        QTextCursor cursor = HelpBrowser->textCursor();
        cursor.setPosition(cursor.selectionStart());
        HelpBrowser->setTextCursor(cursor);
    }
    bool found = text.isEmpty() || HelpBrowser->find(text, flags);
    if (!found) {
        // Round the page's end to its other end, as a browser does.
        QTextCursor cursor = HelpBrowser->textCursor();
        cursor.movePosition(flags & QTextDocument::FindBackward ? QTextCursor::End
                                                                : QTextCursor::Start);
        HelpBrowser->setTextCursor(cursor);
        found = HelpBrowser->find(text, flags);
    }
    HelpFind->setStyleSheet(found ? QString() : QStringLiteral("background: #ffd6d6;"));
    statusBar()->showMessage(found ? QString() : QStringLiteral("\"%1\" not found").arg(text));
}

} // namespace veldro
