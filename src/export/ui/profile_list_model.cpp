#include "export/ui/profile_list_model.h"

#include "widgets/icons.h"
#include "widgets/measurement_table_view.h"

namespace veldro {

namespace {

const char* const kCaptions[] = {"#", "Profile", "Stations", "Frequencies (Hz)", "Position (m)"};

} // namespace

ProfileListModel::ProfileListModel(std::vector<TProfileItem> items, QObject* parent)
    : QAbstractTableModel(parent), items_(std::move(items)) {}

void ProfileListModel::itemChanged(int row) {
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int ProfileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int ProfileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kColumnWidths.size());
}

QString ProfileListModel::text(int row, int column) const {
    const TProfileItem& item = items_[static_cast<std::size_t>(row)];
    switch (column) {
    case 0:
        return QString::number(row + 1);
    case 1:
        return QString::number(item.profileNumber);
    case 2:
        return QString::fromStdString(stationsText(item));
    case 3:
        return QString::fromStdString(frequenciesText(item));
    default:
        return QString::fromStdString(positionColumnText(item));
    }
}

QVariant ProfileListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::DecorationRole:
        if (index.column() != 0) return {};
        return items_[static_cast<std::size_t>(index.row())].selected ? icons::keptBox()
                                                                      : icons::ignoredBox();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    case Qt::BackgroundRole:
        return rowBackground(index.row());
    default:
        return {};
    }
}

QVariant ProfileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return QString::fromLatin1(kCaptions[section]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags ProfileListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace veldro
