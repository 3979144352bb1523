#include "processing/ui/frequency_dialog.h"

#include "processing/number_entry.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace veldro {

namespace {

constexpr int kWidth = 209;
constexpr int kHeight = 152;

} // namespace

TFreqFrm::TFreqFrm(MessageSink& messages, QWidget* parent) : QDialog(parent), messages_(messages) {
    setWindowTitle(QStringLiteral("Veldro"));
    auto* group = new QGroupBox(QStringLiteral("Frequency to be rejected"), this);
    Edit1 = new QLineEdit(QStringLiteral("0"), group);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->selectAll(); // typing replaces the "0"
    auto* row = new QHBoxLayout(group);
    row->addWidget(Edit1, 1);
    row->addWidget(new QLabel(QStringLiteral("Hz"), group));

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TFreqFrm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    setFixedSize(kWidth, kHeight);
}

void TFreqFrm::BitBtn1Click() {
    if (readEnteredNumber(Edit1->text().toStdString(), frequency_, messages_)) accept();
}

} // namespace veldro
