#include "app/select_columns_dialog.h"

#include "app/measurement_table_model.h"
#include "data/rows.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace veldro {

TSelectColumnsFrm::TSelectColumnsFrm(const ColumnVisibility& columnVisible, QWidget* parent)
    : QDialog(parent, Qt::Tool), tags_(columnVisible) {
    setWindowTitle(QStringLiteral("Select columns"));
    auto* label = new QLabel(QStringLiteral("Check column to display"), this);
    QFont larger = label->font();
    larger.setPointSize(larger.pointSize() + 3);
    label->setFont(larger);

    TabMesureCLstView = new QTableWidget(1, kColumnCount + 1, this);
    TabMesureCLstView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TabMesureCLstView->setSelectionMode(QAbstractItemView::NoSelection);
    TabMesureCLstView->setShowGrid(true);
    TabMesureCLstView->verticalHeader()->hide();
    TabMesureCLstView->horizontalHeader()->setSectionsClickable(true);
    TabMesureCLstView->setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("-")));
    TabMesureCLstView->setItem(0, 0, new QTableWidgetItem(QStringLiteral("Visible")));
    for (int c = 0; c < kColumnCount; ++c) {
        const QString caption = columnCaption(c);
        TabMesureCLstView->setHorizontalHeaderItem(c + 1, new QTableWidgetItem(caption));
        TabMesureCLstView->setColumnWidth(c + 1, static_cast<int>(caption.size()) * 5 + 24);
        auto* cell = new QTableWidgetItem;
        cell->setTextAlignment(Qt::AlignCenter);
        TabMesureCLstView->setItem(0, c + 1, cell);
        setTag(c, tags_[static_cast<std::size_t>(c)]);
    }
    connect(TabMesureCLstView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TSelectColumnsFrm::TabMesureCLstViewColumnClick);

    ButtonSelectAll = new QPushButton(QStringLiteral("Select All"), this);
    ButtonSelectNone = new QPushButton(QStringLiteral("Select None"), this);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn1->setDefault(true);
    connect(ButtonSelectAll, &QPushButton::clicked, this, &TSelectColumnsFrm::ButtonSelectAllClick);
    connect(ButtonSelectNone, &QPushButton::clicked, this,
            &TSelectColumnsFrm::ButtonSelectNoneClick);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonSelectAll);
    buttons->addWidget(ButtonSelectNone);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(TabMesureCLstView);
    layout->addLayout(buttons);

    setMinimumWidth(450);
    setFixedHeight(168);
    resize(679, 168);
}

void TSelectColumnsFrm::setTag(int logical, std::int32_t tag) {
    tags_[static_cast<std::size_t>(logical)] = tag;
    TabMesureCLstView->item(0, logical + 1)
        ->setText(tag != 0 ? QStringLiteral("Yes") : QStringLiteral("No"));
}

void TSelectColumnsFrm::TabMesureCLstViewColumnClick(int column) {
    if (column < 1 || column > kColumnCount) return;
    setTag(column - 1, tags_[static_cast<std::size_t>(column - 1)] != 0 ? 0 : 1);
}

void TSelectColumnsFrm::ButtonSelectAllClick() {
    for (int c = 0; c < kColumnCount; ++c) setTag(c, 1);
}

void TSelectColumnsFrm::ButtonSelectNoneClick() {
    for (int c = 0; c < kColumnCount; ++c) setTag(c, 0);
}

} // namespace veldro
