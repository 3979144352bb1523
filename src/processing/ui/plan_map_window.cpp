#include "processing/ui/plan_map_window.h"

#include "charts/chart_image.h"
#include "charts/plan_map_chart.h"
#include "maps/minimum_curvature.h"
#include "widgets/chart_panel.h"
#include "widgets/icons.h"
#include "widgets/ui_services.h"
#include "widgets/wait_cursor.h"

#include <QGraphicsView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace veldro {

// The map fills the view whatever its size.
class PlanMapView : public QGraphicsView {
public:
    explicit PlanMapView(QGraphicsScene* scene) : QGraphicsView(scene) {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setRenderHint(QPainter::Antialiasing);
    }
    void fit(QGraphicsWidget* chart) {
        chart_ = chart;
        fitChart();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QGraphicsView::resizeEvent(event);
        fitChart();
    }

private:
    void fitChart() {
        if (!chart_) return;
        const QSizeF size = viewport()->size();
        chart_->resize(size);
        scene()->setSceneRect(QRectF(QPointF(0, 0), size));
    }
    QGraphicsWidget* chart_ = nullptr;
};

PlanMapWindow::PlanMapWindow(UiServices& ui, const std::array<FraserMap, 2>& maps,
                             const StationPositions& positions, QWidget* owner)
    : QDialog(owner),
      ui_(ui), placed_{placeFraserMap(maps[0], positions), placeFraserMap(maps[1], positions)},
      view_(new PlanMapView(&scene_)), list_(new QListWidget), note_(new QLabel) {
    setWindowTitle(QStringLiteral("Fraser map"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    resize(kChartPictureSize);
    keepWindowSize(*this, QStringLiteral("PlanMapWindow"));

    view_->setObjectName(QStringLiteral("Chart1"));
    view_->setFrameShape(QFrame::NoFrame);
    list_->setObjectName(QStringLiteral("FrequencyList"));
    list_->setStyleSheet(QStringLiteral("QListWidget { background: palette(button); }"));
    QPushButton* print = panelButton(QStringLiteral(" Print "), "BitBtnPrint",
                                     QStringLiteral("Print the map on the default printer"));
    print->setIcon(icons::toolIcon(icons::Tool::Print));
    print->setShortcut(QKeySequence::Print);
    QPushButton* saveImage =
        panelButton(QStringLiteral("Save image..."), "SaveImage",
                    QStringLiteral("Save the map as PNG, SVG or PDF, at the picture size you "
                                   "ask for"));
    saveImage->setShortcut(QKeySequence::Save);
    auto* panel = new QWidget;
    panel->setFixedWidth(kPanelWidth);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(list_, 1);
    panelLayout->addWidget(print);
    panelLayout->addWidget(saveImage);
    QStatusBar* status = layOutPanelWindow(*this, panel, view_);
    status->setObjectName(QStringLiteral("StatusLine"));
    note_->setObjectName(QStringLiteral("Note"));
    status->addWidget(note_, 1);

    int first = -1;
    for (int i = 0; i < 2; ++i) {
        auto* entry = new QListWidgetItem(QStringLiteral("Freq%1").arg(i + 1), list_);
        if (placed_[static_cast<std::size_t>(i)].values.empty())
            entry->setFlags(Qt::ItemNeverHasChildren);
        else if (first < 0)
            first = i;
    }
    list_->setCurrentRow(first);
    showMap(first);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int index) { showMap(index); });
    connect(print, &QPushButton::clicked, this, [this] {
        printChartOn(ui_, [this](QPrinter& printer) { return printCharts(*chart_, printer); });
    });
    connect(saveImage, &QPushButton::clicked, this, [this] {
        saveChartImageAs(ui_, imagePath_, [this](const QString& path, QSize size) {
            return saveChartsImage(*chart_, windowTitle(), path, size);
        });
    });
}

PlanMapWindow::~PlanMapWindow() = default;

bool PlanMapWindow::hasValues() const {
    return !placed_[0].values.empty() || !placed_[1].values.empty();
}

void PlanMapWindow::showMap(int index) {
    if (index < 0 || index > 1 || placed_[static_cast<std::size_t>(index)].values.empty()) return;
    const PlacedValues& placed = placed_[static_cast<std::size_t>(index)];
    {
        const WaitCursor wait;
        grid_ = gridMinimumCurvature(scatterPoints(placed.values));
    }
    shown_ = index;
    MapFeatures features;
    features.valueName = "Fraser (%)";
    features.lines = placed.lines;
    delete chart_;
    chart_ =
        new PlanMapChart(QStringLiteral("Fraser map, frequency number %1").arg(index + 1),
                         QStringLiteral("Fraser (%)"), grid_, features, divergingMapColours(grid_));
    scene_.addItem(chart_);
    view_->fit(chart_);
    QString note =
        QStringLiteral("%1 profiles in plan at their positions").arg(placed.lines.size());
    if (!placed.unplacedProfiles.empty()) {
        QStringList left;
        for (const int profile : placed.unplacedProfiles) left << QString::number(profile);
        note += QStringLiteral("; without positions, left off: profile %1").arg(left.join(", "));
    }
    note_->setText(note);
}

} // namespace veldro
