#pragma once

#include "export/profile_export.h"

#include <QAbstractTableModel>
#include <array>
#include <vector>

namespace veldro {

// The export dialog's profile list: one row per profile item, its texts made
// when the row is painted, the pick image at its start.
class ProfileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ProfileListModel(std::vector<TProfileItem> items, QObject* parent = nullptr);

    static constexpr std::array<int, 5> kColumnWidths{46, 45, 93, 100, 66};

    const std::vector<TProfileItem>& items() const { return items_; }
    TProfileItem& item(int row) { return items_[static_cast<std::size_t>(row)]; }
    // Repaints a row after its item changed.
    void itemChanged(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QString text(int row, int column) const;

    std::vector<TProfileItem> items_;
};

} // namespace veldro
