// The shell's menus and toolbar. Every item is made here, disabled, with its
// designer name; the command groups give it a handler and an enabling rule.
#include "app/main_window.h"
#include "link/port_selection.h"
#include "widgets/icons.h"

#include <QActionGroup>
#include <QLabel>
#include <QMenuBar>
#include <QSet>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <vector>

namespace veldro {

namespace {

QMenu* submenu(QMenu* parent, const char* name, const char* caption) {
    QMenu* menu = parent->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* item(QMenu* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(false);
    return action;
}

// One of a menu's exclusive choices, carrying its value.
QAction* choice(QMenu* menu, QActionGroup* group, const char* name, const QString& caption,
                int value) {
    QAction* action = item(menu, name, "");
    action->setText(caption);
    action->setCheckable(true);
    action->setData(value);
    group->addAction(action);
    return action;
}

void decorate(QAction* action, icons::Tool tool, const QKeySequence& shortcut = {},
              const char* hint = nullptr) {
    action->setIcon(icons::toolIcon(tool));
    action->setShortcut(shortcut);
    if (hint) {
        action->setToolTip(QString::fromUtf8(hint));
        action->setStatusTip(action->toolTip());
    }
}

// The places in a caption a mnemonic may go, best first: the words' first
// characters, then the others.
std::vector<qsizetype> mnemonicPlaces(const QString& caption) {
    std::vector<qsizetype> initials, others;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (!caption[i].isLetterOrNumber()) continue;
        (i == 0 || caption[i - 1].isSpace() ? initials : others).push_back(i);
    }
    initials.insert(initials.end(), others.begin(), others.end());
    return initials;
}

// Every menu and item gets a mnemonic no earlier entry of its menu took, so
// the keyboard reaches them all; the captions read as before.
void giveMnemonics(const QList<QAction*>& actions) {
    QSet<QChar> taken;
    for (QAction* action : actions) {
        if (action->isSeparator()) continue;
        QString caption = action->text();
        for (qsizetype at : mnemonicPlaces(caption)) {
            const QChar key = caption[at].toLower();
            if (taken.contains(key)) continue;
            taken.insert(key);
            action->setText(caption.insert(at, QLatin1Char('&')));
            break;
        }
        if (action->menu()) giveMnemonics(action->menu()->actions());
    }
}

} // namespace

void TMainFrm::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("Fichier1"));
    decorate(item(file, "Ouvrir1", "Open..."), icons::Tool::Open, Qt::Key_F2);
    decorate(item(file, "OpenLastFile", "Open last file..."), icons::Tool::OpenLast, Qt::Key_F3);
    submenu(file, "RecentFiles", "Recent files")->menuAction()->setEnabled(false);
    decorate(item(file, "EnregistrerSous", "Save as..."), icons::Tool::Save, Qt::Key_F4);
    QMenu* exports = submenu(file, "ExporterEtEnregistrer", "Export and save");
    exports->setIcon(icons::toolIcon(icons::Tool::Export));
    QMenu* spreadsheet = submenu(exports, "Spreadsheet2", "Spreadsheet...");
    item(spreadsheet, "Spreadsheet1", "Raw data");
    item(spreadsheet, "Fraser1", "Fraser values");
    item(spreadsheet, "KarousHjeltValues", "Karous-Hjelt values");
    QMenu* separators = submenu(exports, "Optionseparateur1", "Spreadsheet separator");
    auto* separatorGroup = new QActionGroup(this);
    separatorGroup->setObjectName(QStringLiteral("separatorGroup"));
    choice(separators, separatorGroup, "Virgule1", QStringLiteral("Comma"), ',');
    choice(separators, separatorGroup, "PointVirgule1", QStringLiteral("Semi comma"), ';');
    choice(separators, separatorGroup, "Espace1", QStringLiteral("Space"), ' ');
    choice(separators, separatorGroup, "Tabulation1", QStringLiteral("Tabulation"), '\t');
    item(exports, "IXVLF1", "IXVLF (XYZ data file)");
    item(exports, "Orvex1", "Orvex (WADI data file)");
    file->addSeparator();
    item(file, "Importtextfile1", "Import file...");
    item(file, "Add1", "Add...");
    item(file, "Positions", "Positions...");
    QAction* split = item(file, "Splitonname1", "Split in files...");
    split->setToolTip(QStringLiteral("Split in several files according to the profile and mode"));
    split->setStatusTip(split->toolTip());
    file->addSeparator();
    item(file, "Displayoptions1", "Display options...");
    file->addSeparator();
    item(file, "Quitter1", "Quit");

    QMenu* link = menuBar()->addMenu(QStringLiteral("Communication"));
    link->setObjectName(QStringLiteral("Communication1"));
    decorate(item(link, "Rcuprerdesdonnes1", "Data download"), icons::Tool::Download, {},
             "Download data from ...");
    QMenu* ports = submenu(link, "Portdecommunication1", "Communication port");
    auto* portGroup = new QActionGroup(this);
    portGroup->setObjectName(QStringLiteral("portGroup"));
    for (int port = 1; port < usbPortNumber; ++port)
        choice(ports, portGroup, QStringLiteral("Com%1%2").arg(port).arg(1).toLatin1().constData(),
               QStringLiteral("COM %1").arg(port), port);
    choice(ports, portGroup, "Usb", QStringLiteral("USB"), usbPortNumber);

    QMenu* processing = menuBar()->addMenu(QStringLiteral("Processing"));
    processing->setObjectName(QStringLiteral("Processing1"));
    item(processing, "Undo1", "Undo")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    item(processing, "Redo1", "Redo")->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    processing->addSeparator();
    item(processing, "Keepselectedrows1", "Keep selected data");
    item(processing, "Ignoreselectedrows1", "Ignore selected data");
    item(processing, "DeleteUnselectedData", "Delete ignored data");
    item(processing, "Ignoreoverloaddata1", "Ignore overload data");
    processing->addSeparator();
    item(processing, "Filtering1", "Filtering...");
    item(processing, "FrequencyDisabler1", "Reject frequency...");
    item(processing, "ViewFraser1", "View Fraser");
    item(processing, "KarousHjeltSection", "Karous-Hjelt section");
    item(processing, "FraserMap", "Fraser map");
    item(processing, "Model", "Model...");
    item(processing, "Inversion", "2D inversion...");
    item(processing, "Inversion1D", "1D inversion");

    QMenu* tools = menuBar()->addMenu(QStringLiteral("Tools"));
    tools->setObjectName(QStringLiteral("Tools1"));
    item(tools, "RunIXVLF1", "Run IXVLF");
    item(tools, "RunOrvex1", "Run Orvex");
    tools->addSeparator();
    item(tools, "Ports", "Ports...");

    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    view->setObjectName(QStringLiteral("Voir2"));
    item(view, "File1", "File...");
    item(view, "Formatedtype1", "Formated");
    decorate(item(view, "Comments1", "Edit comments"), icons::Tool::Comments);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help1"));
    decorate(item(help, "Rubriquedaide1", "Help topics"), icons::Tool::Help, Qt::Key_F1);
    QMenu* web = submenu(help, "OmbrelZezeverududontheweb1", "Ombrel Zezeverudud on the web");
    item(web, "Homepage1", "Home page");
    item(web, "Productsupport1", "Product support");
    item(help, "Apropos1", "About");

    auto* popup = new QMenu(this);
    popup->setObjectName(QStringLiteral("PopupMenu1"));
    item(popup, "Check1", "Keep");
    item(popup, "Uncheck1", "Ignore");

    giveMnemonics(menuBar()->actions());
    giveMnemonics(popup->actions());
    // F10 opens the menu bar at its first menu, as on other desktops.
    auto* menuKey = new QShortcut(Qt::Key_F10, this);
    connect(menuKey, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().value(0)); });
}

// The toolbar buttons are the menu items' own actions: same caption, picture,
// hint and enabled state.
void TMainFrm::buildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("ToolBar1"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(24, 24));
    const auto action = [this](const char* name) {
        return findChild<QAction*>(QString::fromLatin1(name));
    };
    bar->addAction(action("Ouvrir1"));
    bar->addAction(action("OpenLastFile"));
    bar->addAction(action("EnregistrerSous"));
    QAction* exports = findChild<QMenu*>(QStringLiteral("ExporterEtEnregistrer"))->menuAction();
    bar->addAction(exports);
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(exports)))
        button->setPopupMode(QToolButton::InstantPopup);
    bar->addSeparator();
    bar->addAction(action("Rcuprerdesdonnes1"));
    bar->addSeparator();
    bar->addAction(action("Comments1"));
    NameLblx = new QLabel(bar);
    NameLblx->setObjectName(QStringLiteral("NameLblx"));
    NameLblx->setAlignment(Qt::AlignCenter);
    NameLblx->setStyleSheet(QStringLiteral("color: navy; font-weight: bold;"));
    NameLblx->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(NameLblx);
    bar->addAction(action("Rubriquedaide1"));
}

} // namespace veldro
