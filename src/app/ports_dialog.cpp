#include "app/ports_dialog.h"

#include "app/settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace veldro {

PortsDialog::PortsDialog(const std::array<QString, 4>& devices, const QStringList& present,
                         QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Ports"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(present.isEmpty()
                                     ? QStringLiteral("No serial device found: type the device "
                                                      "of each COM port.")
                                     : QStringLiteral("The serial device of each COM port:"),
                                 this));
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("Com%1Device").arg(i + 1));
        // Typed paths stay in the box's text, not in its list of devices present.
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumContentsLength(36);
        box->addItems(present);
        box->setCurrentText(devices[i]);
        form->addRow(QStringLiteral("COM %1").arg(i + 1), box);
        boxes_[i] = box;
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::array<QString, 4> PortsDialog::chosen() const {
    std::array<QString, 4> devices = defaultComDevices();
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (const QString typed = boxes_[i]->currentText().trimmed(); !typed.isEmpty())
            devices[i] = typed;
    return devices;
}

} // namespace veldro
