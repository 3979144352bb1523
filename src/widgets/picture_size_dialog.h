#pragma once

#include <QDialog>
#include <QSize>

class QSpinBox;

namespace veldro {

// "Picture size": the width and height in pixels a chart picture is drawn
// at, whatever the size of the window that shows the chart.
class PictureSizeDialog : public QDialog {
    Q_OBJECT
public:
    explicit PictureSizeDialog(QSize proposed, QWidget* parent = nullptr);

    QSize pictureSize() const;

private:
    QSpinBox* width_;
    QSpinBox* height_;
};

} // namespace veldro
