#include "processing/ui/filter_dialog.h"

#include "data/messages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace veldro {

namespace {

constexpr int kWidth = 329;
constexpr int kHeight = 412;

QLabel* captionPanel(std::string_view caption, QWidget* parent) {
    auto* panel = new QLabel(
        QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())), parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    return panel;
}

} // namespace

TFilterFrm::TFilterFrm(RangeScan& scan, MessageSink& messages, QWidget* parent)
    : QDialog(parent), scan_(scan), messages_(messages) {
    setWindowTitle(QStringLiteral("Veldro"));
    auto* group = new QGroupBox(QStringLiteral("Filtering data"), this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Min value"), group), 0, 0, Qt::AlignCenter);
    grid->addWidget(new QLabel(QStringLiteral("Max value"), group), 0, 2, Qt::AlignCenter);
    const auto texts = rangeBoxTexts(scan);
    for (int box = 0; box < 2 * kRangePairCount; ++box) {
        const int pair = box / 2;
        if (box % 2 == 1)
            grid->addWidget(captionPanel(kRangeCaptions[static_cast<std::size_t>(pair)], group),
                            pair + 1, 1);
        auto* edit =
            new QLineEdit(QString::fromStdString(texts[static_cast<std::size_t>(box)]), group);
        edit->setObjectName(QStringLiteral("Edit%1").arg(box + 1));
        edit->setEnabled(scan.enabled(pair));
        grid->addWidget(edit, pair + 1, box % 2 == 0 ? 0 : 2);
        edits_[static_cast<std::size_t>(box)] = edit;
    }
    for (int column = 0; column < 3; ++column) grid->setColumnStretch(column, 1);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn3 = new QPushButton(QStringLiteral("Help"), this);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TFilterFrm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn3, &QPushButton::clicked, this, &TFilterFrm::helpRequested);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    setFixedSize(kWidth, kHeight);
}

void TFilterFrm::BitBtn1Click() {
    std::array<std::string, 2 * kRangePairCount> texts;
    for (std::size_t box = 0; box < texts.size(); ++box)
        texts[box] = edits_[box]->text().toStdString();
    std::optional<int> bad = badRangeBox(texts, scan_.ranges, messages_);
    if (!bad) {
        if (const std::optional<int> pair = reversedRange(scan_, scan_.ranges)) {
            messages_.show({reversedRangeText(*pair), "", MessageIcon::Warning});
            bad = 2 * *pair;
        }
    }
    if (!bad) {
        accept();
        return;
    }
    QLineEdit* edit = edits_[static_cast<std::size_t>(*bad)];
    edit->setFocus();
    edit->selectAll();
}

} // namespace veldro
