#pragma once

#include "export/rtf.h"

#include <QDialog>
#include <QKeySequence>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;
class QTextEdit;
class QToolBar;
class QToolButton;

namespace veldro {

class LongTextView;
class UiServices;

// The report viewer: shows a text or rich text document to edit, save, print
// and restyle. In file mode Save writes a file of the user's choice; in
// comment mode it hands the text back to the caller's fixed-size block.
class TReportFrm : public QDialog {
    Q_OBJECT
public:
    explicit TReportFrm(UiServices& ui, QWidget* parent = nullptr);

    // File mode: shows the file, formatted when it holds rich text, and puts
    // an entry for `extension` (".txt", or empty) first in the save dialog's
    // filter. A text too large to edit at the speed of typing is shown
    // read-only, plain, and the window says so. Throws FileError when the
    // file cannot be read or is too large to show.
    void openFile(const QString& fileName, const QString& extension);

    // Comment mode: shows the Windows-1252 `text`; Save hands `store` the
    // text fitted to `capacity` bytes with its zero, saying what did not fit.
    using CommentStore = std::function<void(const std::string& bytes)>;
    void openComment(std::string_view text, std::size_t capacity, CommentStore store);

    void SaveBtnClick();
    void PrintBtnClick();
    void FontBtnClick();
    void ColourBtnClick();
    // The next place that holds the find box's text, from the caret on.
    void findNext();
    // Whether the text is shown read-only, too large to edit.
    bool readOnly() const;
    // The save dialog's default extension for its filter entry `index` (1-based).
    QString SaveDialog1TypeChange(int index) const;

    // Closing (the close button, Escape) asks first when there are changes
    // no Save kept.
    void reject() override;

private:
    void saveFile();
    void saveComment();
    void showReadOnly(std::string_view utf8, StyledText runs);
    QToolButton* toolButton(const char* name, const QIcon& icon, const QString& hint,
                            const QKeySequence& shortcut, void (TReportFrm::*click)());

    UiServices& ui_;
    QToolBar* ToolBar1;
    QTextEdit* ReportMemo;
    LongTextView* ReportView;
    QLabel* readOnlyNote_;
    QLineEdit* findBox_;
    // Rich text shown read-only, for Save.
    StyledText readOnlyRuns_;
    QString saveFilter_;
    std::size_t capacity_ = 0; // 0: file mode
    CommentStore commentStore_;
};

} // namespace veldro
