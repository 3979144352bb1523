#include "interpretation/ui/model_window.h"

#include "charts/graph_chart.h"
#include "interpretation/ui/response_runner.h"
#include "widgets/chart_panel.h"
#include "widgets/help_window.h"
#include "widgets/icons.h"
#include "widgets/ui_services.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>

namespace veldro {

namespace {

constexpr int kDesignWidth = 1039;
constexpr int kDesignHeight = 860;

// The model the window starts with: the one the examples folder holds.
GroundModel exampleModel() {
    QFile file(QStringLiteral(":/examples/four_bodies.json"));
    file.open(QIODevice::ReadOnly);
    return parseGroundModel(file.readAll().toStdString());
}

QString numberText(double value) {
    return QLocale::c().toString(value, 'g', 8);
}

bool overlaps(const SectionBox& a, const SectionBox& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The body `make` puts at a station: at the middle one, else at the station
// nearest it where the body's box meets no other body's, so that a body
// added lies clear of those before it.
Body placedBody(const GroundModel& model, const std::function<Body(double)>& make) {
    const std::vector<double>& stations = model.stations;
    const auto count = static_cast<std::ptrdiff_t>(stations.size());
    const std::ptrdiff_t middle = count / 2;
    for (std::ptrdiff_t step = 0; step < 2 * count; ++step) {
        // 0, +1, -1, +2, -2, ... stations from the middle.
        const std::ptrdiff_t index = middle + (step % 2 == 1 ? 1 : -1) * ((step + 1) / 2);
        if (index < 0 || index >= count) continue;
        Body body = make(stations[static_cast<std::size_t>(index)]);
        const SectionBox box = boundingBox(body);
        // Over the grid, clear of the bodies drawn over it.
        if (std::none_of(model.bodies.begin() + static_cast<std::ptrdiff_t>(model.gridCells()),
                         model.bodies.end(),
                         [&](const Body& other) { return overlaps(box, boundingBox(other)); }))
            return body;
    }
    return make(stations[static_cast<std::size_t>(middle)]);
}

} // namespace

ModelWindow::ModelWindow(UiServices& ui, const SurveyView* survey, QWidget* owner)
    : QDialog(owner), ui_(ui), view_(new ModelView), table_(new QTableWidget(0, ColumnCount)),
      profileList_(new QListWidget), note_(new QLabel), runner_(new ResponseRunner(this)),
      edits_(new QUndoStack(this)) {
    setWindowTitle(QStringLiteral("Model"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    resize(kDesignWidth, kDesignHeight);
    keepWindowSize(*this, QStringLiteral("ModelWindow"));
    view_->setObjectName(QStringLiteral("ModelView"));

    table_->setObjectName(QStringLiteral("Bodies"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Left (m)"), QStringLiteral("Top (m)"),
                                       QStringLiteral("Right (m)"), QStringLiteral("Bottom (m)"),
                                       QStringLiteral("Rho (ohm.m)")});
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setToolTip(QStringLiteral("The box round each body, and its resistivity: type a "
                                      "number to move or stretch the body"));

    profileList_->setObjectName(QStringLiteral("Profiles"));
    profileList_->setStyleSheet(QStringLiteral("QListWidget { background: palette(button); }"));
    profileList_->setToolTip(QStringLiteral("The data set's profile drawn with the curves"));
    profileList_->addItem(QStringLiteral("No profile"));
    if (survey != nullptr) readProfiles(*survey);
    profileList_->setCurrentRow(0);

    auto* panel = new QWidget;
    QVBoxLayout* panelLayout = stackPanel(*panel);
    panelLayout->addWidget(profileList_, 1);
    QPushButton* open =
        panelButton(QStringLiteral("Open..."), "OpenModel", QStringLiteral("Open a model file"));
    QPushButton* save = panelButton(QStringLiteral("Save..."), "SaveModel",
                                    QStringLiteral("Save the model as a model file"));
    QPushButton* sheet = panelButton(QStringLiteral("Add sheet"), "AddSheet",
                                     QStringLiteral("A thin vertical conductor in the middle"));
    QPushButton* rectangle = panelButton(QStringLiteral("Add rectangle"), "AddRectangle",
                                         QStringLiteral("A conductive block in the middle"));
    QPushButton* remove =
        panelButton(QStringLiteral("Delete body"), "DeleteBody",
                    QStringLiteral("Take the picked body (or the whole grid) out of the model"));
    QPushButton* undo = panelButton(QStringLiteral("Undo"), "Undo",
                                    QStringLiteral("Take back the last change (Ctrl+Z)"));
    QPushButton* redo =
        panelButton(QStringLiteral("Redo"), "Redo",
                    QStringLiteral("Make the change taken back again (Ctrl+Shift+Z)"));
    QPushButton* print = panelButton(QStringLiteral(" Print "), "BitBtnPrint",
                                     QStringLiteral("Print the curves and the section"));
    print->setIcon(icons::toolIcon(icons::Tool::Print));
    print->setShortcut(QKeySequence::Print);
    QPushButton* image = panelButton(QStringLiteral("Save image..."), "SaveImage",
                                     QStringLiteral("Save the curves and the section as PNG, "
                                                    "SVG or PDF"));
    for (QPushButton* button : {open, save, sheet, rectangle, remove, undo, redo, print, image})
        panelLayout->addWidget(button);

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(view_);
    splitter->addWidget(table_);
    // Most of the height for the charts; the table has room for four bodies.
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setSizes({kDesignHeight, 150});
    splitter->setChildrenCollapsible(false);

    note_->setObjectName(QStringLiteral("Note"));
    layOutPanelWindow(*this, panel, splitter)->addWidget(note_, 1);

    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            [this] { ui_.showHelp(kModelWindowHelp); });
    connect(open, &QPushButton::clicked, this, [this] { openClick(); });
    connect(save, &QPushButton::clicked, this, [this] { saveClick(); });
    connect(sheet, &QPushButton::clicked, this, [this] {
        addBody(placedBody(model_, [](double x) { return sheetBody(x, 10, 100, 2, 50); }));
    });
    connect(rectangle, &QPushButton::clicked, this, [this] {
        addBody(placedBody(model_, [](double x) {
            return rectangleBody({x - 25, 20, x + 25, 80}, 10);
        }));
    });
    connect(remove, &QPushButton::clicked, this, [this] { deleteClick(); });
    QAction* undoAction = edits_->createUndoAction(this);
    undoAction->setShortcut(QKeySequence::Undo);
    QAction* redoAction = edits_->createRedoAction(this);
    redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence::Redo});
    addActions({undoAction, redoAction});
    for (auto [button, action] : {std::pair{undo, undoAction}, std::pair{redo, redoAction}}) {
        button->setEnabled(false);
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, button,
                [button = button, action = action] { button->setEnabled(action->isEnabled()); });
    }
    connect(print, &QPushButton::clicked, this, [this] { printClick(); });
    connect(image, &QPushButton::clicked, this, [this] { saveImageClick(); });
    connect(profileList_, &QListWidget::currentRowChanged, this, &ModelWindow::drawCurves);
    connect(table_, &QTableWidget::cellChanged, this, &ModelWindow::tableEdited);
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (filling_ || row == selected_) return;
        selected_ = row;
        view_->showModel(model_, bodyOfRow(selected_));
    });
    connect(view_, &ModelView::bodyPicked, this, [this](int picked) {
        selected_ = rowOfBody(picked);
        selectInTable();
        view_->showModel(model_, picked);
    });
    connect(view_, &ModelView::bodyDragged, this, [this](int dragged, const SectionBox& box) {
        if (!dragStart_) dragStart_ = snapshot();
        changeBody(dragged, box, model_.bodies[static_cast<std::size_t>(dragged)].resistivity);
    });
    // A drag is one step to undo, however many moves it took.
    connect(view_, &ModelView::dragEnded, this, [this] {
        if (!dragStart_) return;
        recordEdit(std::move(*dragStart_), QStringLiteral("Move body"));
        dragStart_.reset();
    });
    connect(runner_, &ResponseRunner::computed, this, &ModelWindow::showResponse);
    connect(runner_, &ResponseRunner::failed, this, [this](const QString& reason) {
        note_->setText(QStringLiteral("The response was not computed: %1").arg(reason));
        emit curvesShown();
    });

    setModel(exampleModel(), -1);
}

ModelWindow::~ModelWindow() = default;

void ModelWindow::setModel(GroundModel model, int selected) {
    model_ = std::move(model);
    modelChanged(selected);
    edits_->clear();
}

void ModelWindow::pickProfile(int profile) {
    for (int row = 1; row < profileList_->count(); ++row)
        if (profileList_->item(row)->data(Qt::UserRole).toInt() == profile)
            profileList_->setCurrentRow(row);
}

void ModelWindow::modelChanged(int selected) {
    selected_ = selected;
    fillTable();
    view_->showModel(model_, bodyOfRow(selected_));
    note_->setText(QStringLiteral("Computing..."));
    sinceChange_.start();
    runner_->request(model_);
}

void ModelWindow::fillTable() {
    filling_ = true;
    table_->setRowCount(rowOfBody(static_cast<int>(model_.bodies.size())));
    if (model_.grid) {
        // The grid's box, and what it is in place of a resistivity: not typed in.
        const CellGrid& grid = *model_.grid;
        const double edges[] = {grid.x.front(), grid.z.front(), grid.x.back(), grid.z.back()};
        for (int column = 0; column < ColumnCount; ++column) {
            auto* item = new QTableWidgetItem(
                column == Resistivity ? QStringLiteral("Grid of %1 cells").arg(grid.cells())
                                      : numberText(edges[column]));
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            table_->setItem(0, column, item);
        }
    }
    for (int row = firstBodyRow(); row < table_->rowCount(); ++row) {
        const Body& body = model_.bodies[static_cast<std::size_t>(bodyOfRow(row))];
        const SectionBox box = boundingBox(body);
        const double values[ColumnCount] = {box.left, box.top, box.right, box.bottom,
                                            body.resistivity};
        for (int column = 0; column < ColumnCount; ++column)
            table_->setItem(row, column, new QTableWidgetItem(numberText(values[column])));
    }
    selectInTable();
    filling_ = false;
}

// The picked body's row, or none: a row left highlighted would look picked.
void ModelWindow::selectInTable() {
    if (selected_ >= 0) {
        table_->selectRow(selected_);
        return;
    }
    table_->clearSelection();
    table_->setCurrentCell(-1, -1);
}

void ModelWindow::showResponse(const std::vector<StationResponse>& responses) {
    responses_ = responses;
    drawCurves();
    if (!runner_->busy())
        note_->setText(QStringLiteral("%1 stations at %2 frequencies; curves %3 ms after the "
                                      "last change")
                           .arg(model_.stations.size())
                           .arg(model_.frequencies.size())
                           .arg(sinceChange_.elapsed()));
    emit curvesShown();
}

void ModelWindow::drawCurves() {
    const int row = profileList_->currentRow();
    const auto profile =
        profiles_.find(row > 0 ? profileList_->item(row)->data(Qt::UserRole).toInt() : 0);
    view_->showCurves(model_, responses_,
                      profile == profiles_.end() ? ProfileData() : profile->second);
}

} // namespace veldro
