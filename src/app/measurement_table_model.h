#pragma once

#include "app/settings.h"
#include "data/rows.h"
#include "export/export_text.h"

#include <QAbstractTableModel>
#include <functional>
#include <vector>

namespace veldro {

class MeasurementStore;

// The caption of a quantity column, by logical index.
QString columnCaption(int logical);

// The measurement table: "#" and the visible quantity columns over the row list
// and the store. Texts are made when a row is painted; nothing is kept per cell.
class MeasurementTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MeasurementTableModel(QObject* parent = nullptr);

    // The visible columns, from columnVisible (an entry of 1 shows its column).
    void setupColumns(const ColumnVisibility& columnVisible);
    // The logical column of a table column; -1 for "#".
    int logicalColumn(int tableColumn) const;
    // The quantity columns the table shows: what the raw spreadsheet and the
    // report write.
    VisibleColumns shownColumns() const;

    // The store the rows belong to; the rows empty until the next rebuild ends.
    void setStore(const MeasurementStore* store);
    // A rebuild empties the table until its rows are ready (tableReady).
    void beginRebuild();
    void endRebuild(RowList rows);
    bool tableReady() const { return ready_; }
    const RowList& rows() const { return rows_; }

    // Runs a change of kept flags that keeps every row, and repaints the row
    // images.
    void changeKeptFlags(const std::function<void(RowList&)>& change);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    static constexpr int kNumberColumnWidth = 46;

private:
    const MeasurementStore* store_ = nullptr;
    RowList rows_;
    bool ready_ = false;
    std::vector<int> columns_; // logical column of each table column after "#"
};

} // namespace veldro
