// The model window's edits: bodies typed in, added and deleted, and each
// change undone and redone.
#include "interpretation/ui/model_window.h"

#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QUndoStack>
#include <algorithm>
#include <cmath>
#include <functional>

namespace veldro {

namespace {

// One edit, as the model stood before and after it.
class ModelEdit : public QUndoCommand {
public:
    using Restore = std::function<void(const ModelWindow::Snapshot&)>;

    ModelEdit(Restore restore, ModelWindow::Snapshot before, ModelWindow::Snapshot after,
              const QString& what)
        : QUndoCommand(what), restore_(std::move(restore)), before_(std::move(before)),
          after_(std::move(after)) {}

    void undo() override { restore_(before_); }
    // The first time, the window shows the edit already.
    void redo() override {
        if (!done_) restore_(after_);
        done_ = false;
    }

private:
    Restore restore_;
    ModelWindow::Snapshot before_, after_;
    bool done_ = true;
};

} // namespace

void ModelWindow::restore(const Snapshot& shown) {
    model_ = shown.model;
    modelChanged(shown.selected);
}

void ModelWindow::recordEdit(Snapshot before, const QString& what) {
    edits_->push(new ModelEdit([this](const Snapshot& shown) { restore(shown); }, std::move(before),
                               snapshot(), what));
}

int ModelWindow::bodyOfRow(int row) const {
    if (row < firstBodyRow()) return -1;
    return row - firstBodyRow() + static_cast<int>(model_.gridCells());
}

int ModelWindow::rowOfBody(int body) const {
    if (body < 0) return -1;
    return body - static_cast<int>(model_.gridCells()) + firstBodyRow();
}

void ModelWindow::changeBody(int body, const SectionBox& box, double resistivity) {
    Body& changed = model_.bodies[static_cast<std::size_t>(body)];
    fitToBox(changed, box);
    changed.resistivity = resistivity;
    modelChanged(rowOfBody(body));
}

void ModelWindow::tableEdited(int row, int column) {
    if (filling_ || row < firstBodyRow()) return;
    const int edited = bodyOfRow(row);
    const Body& body = model_.bodies[static_cast<std::size_t>(edited)];
    SectionBox box = boundingBox(body);
    double resistivity = body.resistivity;
    bool isNumber = false;
    const double value =
        QLocale::c().toDouble(table_->item(row, column)->text().trimmed(), &isNumber);
    QString fault;
    if (!isNumber || !std::isfinite(value)) fault = QStringLiteral("must be a number");
    switch (column) {
    case Left:
        box.left = value;
        break;
    case Top:
        box.top = value;
        break;
    case Right:
        box.right = value;
        break;
    case Bottom:
        box.bottom = value;
        break;
    default:
        resistivity = value;
        break;
    }
    if (fault.isEmpty() && column == Resistivity && !(resistivity > 0))
        fault = QStringLiteral("must be above 0");
    if (fault.isEmpty() && box.top < 0)
        fault = QStringLiteral("must be 0 or more (below the surface)");
    if (fault.isEmpty() && !(box.left < box.right && box.top < box.bottom))
        fault = QStringLiteral("must leave the body some width and depth");
    if (!fault.isEmpty()) {
        note_->setText(QStringLiteral("%1 %2: the body was left as it was.")
                           .arg(table_->horizontalHeaderItem(column)->text(), fault));
        fillTable();
        return;
    }
    const Snapshot before = snapshot();
    changeBody(edited, box, resistivity);
    recordEdit(before, QStringLiteral("Change body"));
}

void ModelWindow::addBody(Body body) {
    const Snapshot before = snapshot();
    model_.bodies.push_back(std::move(body));
    modelChanged(rowOfBody(static_cast<int>(model_.bodies.size()) - 1));
    recordEdit(before, QStringLiteral("Add body"));
}

// The body after the one taken out is picked (the last when it was the last),
// so that Delete goes on taking bodies out. The grid goes whole.
void ModelWindow::deleteClick() {
    if (selected_ < 0) return;
    const Snapshot before = snapshot();
    const auto first = model_.bodies.begin();
    if (selected_ < firstBodyRow()) {
        model_.bodies.erase(first, first + static_cast<std::ptrdiff_t>(model_.gridCells()));
        model_.grid.reset();
    } else {
        model_.bodies.erase(first + bodyOfRow(selected_));
    }
    modelChanged(std::min(selected_, rowOfBody(static_cast<int>(model_.bodies.size())) - 1));
    recordEdit(before, QStringLiteral("Delete body"));
}

} // namespace veldro
