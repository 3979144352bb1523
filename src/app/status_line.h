#pragma once

#include "data/progress.h"

#include <QString>

class QLabel;
class QPixmap;
class QProgressBar;
class QStatusBar;
class QTimer;
class QWidget;

namespace veldro {

// The progress bar along the bottom of the main window.
class BarProgress : public Progress {
public:
    explicit BarProgress(QProgressBar& bar) : bar_(bar) {}
    void setMaximum(int maximum) override;
    void setPosition(int position) override;
    int position() const override;

private:
    QProgressBar& bar_;
};

// The status bar and the progress bar under the table: panel 0 for the row
// count, panel 1 for the file shown or a longer note, and the link picture.
class StatusLine {
public:
    // The widgets are made as children of `parent` and placed by the caller.
    explicit StatusLine(QWidget& parent);

    QStatusBar& bar() { return *StatusBar1; }
    QProgressBar& progressBar() { return *ProgressBar1; }
    Progress& progress() { return progress_; }

    // Panel 0 is as wide as its text, 128 pixels at least.
    void setPanel0(const QString& text);
    // The file shown. A text too long for the panel loses its middle; the
    // tooltip keeps it whole.
    void setPanel1(const QString& text);
    // A passing note in panel 1 (files written, a program not found, why a
    // working file was not written): the file comes back at the next command,
    // or after a while.
    void showNote(const QString& text);
    void endNote();
    void setLinkPicture(const QPixmap& picture);
    void resetProgress();

private:
    QStatusBar* StatusBar1;
    QLabel* StatusPanel0;
    QLabel* StatusPanel1;
    QLabel* Image2;
    QProgressBar* ProgressBar1;
    BarProgress progress_;
    QTimer* noteTimer_;
    QString file_;
};

} // namespace veldro
