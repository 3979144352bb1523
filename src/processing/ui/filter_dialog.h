#pragma once

#include "processing/range_filter.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace veldro {

class MessageSink;

// "Filtering...": the smallest and largest value of each filtered quantity
// over the kept rows, in boxes the user narrows. The boxes of a mode without
// kept rows show "0" and stay disabled.
class TFilterFrm : public QDialog {
    Q_OBJECT
public:
    // Shows `scan`; OK reads the twenty boxes back into `scan.ranges` and says
    // through `messages` which text is no number.
    TFilterFrm(RangeScan& scan, MessageSink& messages, QWidget* parent = nullptr);

    // Edit1 to Edit20: box 2p + 1 holds the minimum of pair p, 2p + 2 its maximum.
    QLineEdit* edit(int number) const { return edits_[static_cast<std::size_t>(number - 1)]; }

    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn2; // "Cancel"
    QPushButton* BitBtn3; // "Help"

    // Accepts once every box holds a number and no range runs backwards; else
    // says why and gives the box at fault the focus. The boxes read before a
    // bad one are stored already.
    void BitBtn1Click();

signals:
    void helpRequested();

private:
    RangeScan& scan_;
    MessageSink& messages_;
    std::array<QLineEdit*, 2 * kRangePairCount> edits_{};
};

} // namespace veldro
