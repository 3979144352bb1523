#pragma once

#include "app/settings.h"

#include <QDialog>

class QTableWidget;
class QPushButton;

namespace veldro {

// "Select columns": which quantity columns the table shows. A click on a
// column's header or cell, or Space on its cell, turns it on or off; OK hands
// the choice back.
class TSelectColumnsFrm : public QDialog {
    Q_OBJECT
public:
    TSelectColumnsFrm(const ColumnVisibility& columnVisible, QWidget* parent = nullptr);

    // columnVisible with the dialog's choice for the quantity columns.
    ColumnVisibility chosen() const { return tags_; }

    QTableWidget* TabMesureCLstView;
    QPushButton* ButtonSelectAll;
    QPushButton* ButtonSelectNone;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

    void TabMesureCLstViewColumnClick(int column);
    void ButtonSelectAllClick();
    void ButtonSelectNoneClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setTag(int logical, std::int32_t tag);

    ColumnVisibility tags_;
};

} // namespace veldro
