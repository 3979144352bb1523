#include "app/select_columns_dialog.h"

#include "app/measurement_table_model.h"
#include "data/rows.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace veldro {

namespace {

constexpr int kDesignWidth = 679;
// Room on both sides of a caption in its column.
constexpr int kCaptionPadding = 14;

// A caption on two lines, its unit or its last word on the second, so that
// all the columns fit a common screen: "Rho (ohm.m)" becomes "Rho" over "(ohm.m)".
QString wrapped(const QString& caption) {
    const qsizetype unit = caption.indexOf(u'(');
    const qsizetype cut = unit > 0 ? unit : caption.lastIndexOf(u' ');
    if (cut <= 0) return caption;
    return caption.left(cut).trimmed() + u'\n' + caption.mid(cut).trimmed();
}

int widestLine(const QFontMetrics& metrics, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

} // namespace

TSelectColumnsFrm::TSelectColumnsFrm(const ColumnVisibility& columnVisible, QWidget* parent)
    : QDialog(parent, Qt::Tool), tags_(columnVisible) {
    setWindowTitle(QStringLiteral("Select columns"));
    auto* label = new QLabel(QStringLiteral("Check column to display"), this);
    QFont larger = label->font();
    larger.setPointSize(larger.pointSize() + 3);
    label->setFont(larger);

    TabMesureCLstView = new QTableWidget(1, kColumnCount + 1, this);
    // The main table's font: the captions are those of its columns.
    QFont small = TabMesureCLstView->font();
    small.setPointSize(8);
    TabMesureCLstView->setFont(small);
    TabMesureCLstView->horizontalHeader()->setFont(small);
    TabMesureCLstView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TabMesureCLstView->setSelectionMode(QAbstractItemView::NoSelection);
    TabMesureCLstView->setShowGrid(true);
    TabMesureCLstView->verticalHeader()->hide();
    TabMesureCLstView->horizontalHeader()->setSectionsClickable(true);
    TabMesureCLstView->setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("-")));
    TabMesureCLstView->setItem(0, 0, new QTableWidgetItem(QStringLiteral("Visible")));
    const QFontMetrics metrics(small);
    // Each column as wide as its caption.
    TabMesureCLstView->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("Visible")) +
                                             kCaptionPadding);
    for (int c = 0; c < kColumnCount; ++c) {
        const QString caption = wrapped(columnCaption(c));
        TabMesureCLstView->setHorizontalHeaderItem(c + 1, new QTableWidgetItem(caption));
        TabMesureCLstView->setColumnWidth(c + 1, widestLine(metrics, caption) + kCaptionPadding);
        auto* cell = new QTableWidgetItem;
        cell->setTextAlignment(Qt::AlignCenter);
        TabMesureCLstView->setItem(0, c + 1, cell);
        setTag(c, tags_[static_cast<std::size_t>(c)]);
    }
    connect(TabMesureCLstView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TSelectColumnsFrm::TabMesureCLstViewColumnClick);
    // A click on a "Yes" or "No" cell, or Space on the current one, does what
    // a click on its header does.
    connect(TabMesureCLstView, &QTableWidget::cellClicked, this,
            [this](int, int column) { TabMesureCLstViewColumnClick(column); });
    TabMesureCLstView->installEventFilter(this);
    TabMesureCLstView->setCurrentCell(0, 1, QItemSelectionModel::NoUpdate);

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
    int tableWidth = 2 * TabMesureCLstView->frameWidth();
    for (int c = 0; c <= kColumnCount; ++c) tableWidth += TabMesureCLstView->columnWidth(c);
    const QMargins margins = layout->contentsMargins();
    const int screenWidth = screen()->availableGeometry().width();
    resize(std::clamp(tableWidth + margins.left() + margins.right(), kDesignWidth, screenWidth),
           168);
}

bool TSelectColumnsFrm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TabMesureCLstView && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        TabMesureCLstViewColumnClick(TabMesureCLstView->currentColumn());
        return true;
    }
    return QDialog::eventFilter(watched, event);
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
