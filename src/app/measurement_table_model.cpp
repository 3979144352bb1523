#include "app/measurement_table_model.h"

#include "data/measurement_store.h"
#include "widgets/icons.h"
#include "widgets/measurement_table_view.h"

#include <cmath>

namespace veldro {

namespace {

// A broken record's float may be no number at all: said as such rather than
// as the C library's "-nan".
QString cellShown(const MeasurementRecord& r, int logical) {
    if (hasValue(r, logical)) {
        const double v = cellValue(r, logical);
        if (std::isnan(v)) return QStringLiteral("NaN");
        if (std::isinf(v)) return v > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    }
    return QString::fromStdString(cellText(r, logical));
}

} // namespace

QString columnCaption(int logical) {
    const std::string_view caption = quantity(logical).caption;
    return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
}

MeasurementTableModel::MeasurementTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void MeasurementTableModel::setupColumns(const ColumnVisibility& columnVisible) {
    beginResetModel();
    columns_.clear();
    for (int c = 0; c < kColumnCount; ++c)
        if (columnVisible[static_cast<std::size_t>(c)] == 1) columns_.push_back(c);
    endResetModel();
}

int MeasurementTableModel::logicalColumn(int tableColumn) const {
    if (tableColumn <= 0 || tableColumn > static_cast<int>(columns_.size())) return -1;
    return columns_[static_cast<std::size_t>(tableColumn - 1)];
}

VisibleColumns MeasurementTableModel::shownColumns() const {
    VisibleColumns shown{};
    for (int column : columns_) shown[static_cast<std::size_t>(column)] = true;
    return shown;
}

void MeasurementTableModel::setStore(const MeasurementStore* store) {
    beginRebuild();
    store_ = store;
}

void MeasurementTableModel::beginRebuild() {
    beginResetModel();
    ready_ = false;
    rows_ = {};
    endResetModel();
}

void MeasurementTableModel::endRebuild(RowList rows) {
    beginResetModel();
    rows_ = std::move(rows);
    ready_ = true;
    endResetModel();
}

void MeasurementTableModel::changeKeptFlags(const std::function<void(RowList&)>& change) {
    change(rows_);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

int MeasurementTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !ready_ ? 0 : rows_.size();
}

int MeasurementTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size()) + 1;
}

QVariant MeasurementTableModel::data(const QModelIndex& index, int role) const {
    if (!ready_ || !checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole: {
        if (index.column() == 0)
            return QString::fromStdString(rows_.entries[static_cast<std::size_t>(row)].caption);
        if (!store_ || row >= store_->count()) return {};
        return cellShown(store_->record(row), logicalColumn(index.column()));
    }
    case Qt::DecorationRole:
        if (index.column() != 0) return {};
        return rows_.kept(row) ? icons::keptBox() : icons::ignoredBox();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    case Qt::BackgroundRole:
        return rowBackground(row);
    default:
        return {};
    }
}

QVariant MeasurementTableModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    const int logical = logicalColumn(section);
    switch (role) {
    case Qt::DisplayRole:
        if (logical < 0) return QStringLiteral("#");
        return columnCaption(logical);
    case Qt::DecorationRole:
        if (logical >= 0 && quantity(logical).plottable) return icons::lineChart();
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    default:
        return {};
    }
}

Qt::ItemFlags MeasurementTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace veldro
