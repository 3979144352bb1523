#pragma once

#include <QMainWindow>
#include <QTextDocument>
#include <QUrl>

class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace veldro {

class UiServices;

// The help contexts of the windows with a page of their own, beside those the
// program had: 100 the contents, 1600 the range filter.
inline constexpr int kModelWindowHelp = 1700;
inline constexpr int kInversionDialogHelp = 1710;
inline constexpr int kInversionWindowHelp = 1720;
inline constexpr int kLayeredInversionHelp = 1730;

// The user guide's page of a help context (with the place in it, such as
// "model.html#window"); the contents for a context without one.
QString helpPage(int context);
// The guide's contents page: the copy installed with the program when there is
// one, else the copy built into it.
QUrl guideContents();

// The user guide: its contents beside the page, back and forward, search in the
// page. Links to the web open in the desktop's browser.
class HelpWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HelpWindow(UiServices& ui, QWidget* parent = nullptr);

    // Shows the page of a help context and brings the window to the front.
    void showContext(int context);

private:
    void buildToolBar();
    void fillContents();
    void follow(const QUrl& link);
    void pageShown(const QUrl& page);
    // Looks for the search text; `again` goes on past the current match, else
    // the match may grow in place as the user types.
    void findInPage(QTextDocument::FindFlags flags, bool again);

    UiServices& ui_;
    QTextBrowser* HelpBrowser;
    QListWidget* HelpContents;
    QLineEdit* HelpFind;
};

} // namespace veldro
