// What the table tests share: a window over a small survey, checked by the
// model tester, and the cells, header and row points of its table.
#pragma once

#include "app/measurement_table_model.h"
#include "app_test_support.h"

#include <QAbstractItemModelTester>
#include <QApplication>

namespace veldro::test {

inline QString cell(TMainFrm& window, int row, int column) {
    return window.tableModel().index(row, column).data().toString();
}

inline QString header(TMainFrm& window, int column) {
    return window.tableModel().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

inline qint64 imageKey(TMainFrm& window, int row) {
    return window.tableModel().index(row, 0).data(Qt::DecorationRole).value<QPixmap>().cacheKey();
}

// A point on the image strip (or `x` pixels into the viewport) of a row.
inline QPoint rowPoint(TMainFrm& window, int row, int x) {
    const QRect rect = part<MeasurementTableView>(window, "TabMesureCLstView")
                           ->visualRect(window.tableModel().index(row, 0));
    return {x, rect.center().y()};
}

inline void press(TMainFrm& window, int row, int x) {
    QTest::mouseClick(part<MeasurementTableView>(window, "TabMesureCLstView")->viewport(),
                      Qt::LeftButton, {}, rowPoint(window, row, x));
}

inline MeasurementRecord withStatus(MeasurementRecord r, std::uint16_t status) {
    r.status = status;
    return r;
}

// The base of a table test: a fresh folder, dialogs and window per test
// (make at init, drop at cleanup), the model checked by the tester throughout.
class TableTestBase : public QObject {
protected:
    std::unique_ptr<Sandbox> sandbox;
    std::unique_ptr<ScriptedUiServices> ui;
    std::unique_ptr<TMainFrm> window;

    void make() {
        sandbox = std::make_unique<Sandbox>();
        ui = std::make_unique<ScriptedUiServices>();
        window = std::make_unique<TMainFrm>(*ui);
        new QAbstractItemModelTester(&window->tableModel(),
                                     QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     window.get());
        QApplication::setDoubleClickInterval(400);
    }
    void drop() {
        window.reset();
        ui.reset();
        sandbox.reset();
    }
    // The window shown on `records`.
    TMainFrm& open(const std::vector<MeasurementRecord>& records) {
        window->show();
        openThroughDialog(*window, *ui, writeDataFile(sandbox->file("t.vlf"), records));
        return *window;
    }
};

} // namespace veldro::test
