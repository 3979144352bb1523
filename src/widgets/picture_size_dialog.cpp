#include "widgets/picture_size_dialog.h"

#include "charts/chart_image.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace veldro {

namespace {

QSpinBox* sideBox(const char* name, int value) {
    auto* box = new QSpinBox;
    box->setObjectName(QLatin1String(name));
    box->setRange(kLeastPictureSide, kMostPictureSide);
    box->setSuffix(QStringLiteral(" pixels"));
    box->setValue(value);
    return box;
}

} // namespace

PictureSizeDialog::PictureSizeDialog(QSize proposed, QWidget* parent)
    : QDialog(parent), width_(sideBox("PictureWidth", proposed.width())),
      height_(sideBox("PictureHeight", proposed.height())) {
    setWindowTitle(QStringLiteral("Picture size"));
    auto* form = new QFormLayout(this);
    form->addRow(
        new QLabel(QStringLiteral("The picture is drawn at this size, whatever the "
                                  "window's.\n%1 \u00d7 %2 prints well on a landscape page.")
                       .arg(kChartPictureSize.width())
                       .arg(kChartPictureSize.height())));
    form->addRow(QStringLiteral("&Width:"), width_);
    form->addRow(QStringLiteral("&Height:"), height_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QSize PictureSizeDialog::pictureSize() const {
    return {width_->value(), height_->value()};
}

} // namespace veldro
