#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace veldro {

class UiServices;

// A file version as the about box shows it: major, minor and release in two
// digits each after a "V"; the build number is left out ("2.10.3.7" gives
// V02.10.03). Missing parts count as 0.
QString versionLabel(const QString& version);

// The maker's web pages.
QUrl makerHomePage();
QUrl makerSupportPage();
QUrl makerContactPage();

// Help > "About": the product, its version and comments, and two links to the
// maker's pages, opened by the desktop's browser.
class TAboutBoxFrm : public QDialog {
    Q_OBJECT
public:
    TAboutBoxFrm(UiServices& ui, QWidget* owner);

    void Label3Click(); // "contact form": the maker's contact page
    void Label4Click(); // the web address: the label's own text

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    QLabel* link(const char* name, const QString& text);

    UiServices& ui_;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QPlainTextEdit* Memo1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Image1;
    QPushButton* BitBtn1;
};

} // namespace veldro
