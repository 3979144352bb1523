#include "processing/ui/plan_map_window.h"

#include "charts/chart_image.h"
#include "charts/plan_map_chart.h"
#include "maps/minimum_curvature.h"
#include "maps/number_format.h"
#include "widgets/chart_panel.h"
#include "widgets/colour_ends_box.h"
#include "widgets/icons.h"
#include "widgets/ui_services.h"
#include "widgets/wait_cursor.h"

#include <QComboBox>
#include <QGraphicsView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

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
                             std::vector<RunGroups> runs, const StationPositions& positions,
                             QWidget* owner)
    : QDialog(owner), ui_(ui), positions_(positions), fraser_{placeFraserMap(maps[0], positions),
                                                              placeFraserMap(maps[1], positions)},
      runs_(std::move(runs)), view_(new PlanMapView(&scene_)), kind_(new QComboBox),
      list_(new QListWidget), depth_(new QSpinBox),
      colours_(new ColourEndsBox(ui, false, {}, "Fraser map")), note_(new QLabel) {
    setWindowTitle(QStringLiteral("Fraser map"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    resize(kChartPictureSize);
    keepWindowSize(*this, QStringLiteral("PlanMapWindow"));

    view_->setObjectName(QStringLiteral("Chart1"));
    view_->setFrameShape(QFrame::NoFrame);
    kind_->setObjectName(QStringLiteral("MapKind"));
    kind_->addItems({QStringLiteral("Fraser"), QStringLiteral("Karous-Hjelt")});
    kind_->setToolTip(QStringLiteral("What is mapped: the Fraser values, or the Karous-Hjelt "
                                     "current density at the depth below"));
    list_->setObjectName(QStringLiteral("FrequencyList"));
    list_->setStyleSheet(QStringLiteral("QListWidget { background: palette(button); }"));
    depth_->setObjectName(QStringLiteral("Depth"));
    depth_->setRange(1, 100000);
    depth_->setSuffix(QStringLiteral(" m"));
    depth_->setKeyboardTracking(false);
    depth_->setEnabled(false);
    depth_->setToolTip(QStringLiteral("The pseudo-depth mapped: each run's Karous-Hjelt level "
                                      "nearest it (level times the run's spacing)"));
    // The first level of the first run that has one, a depth every such run reaches.
    for (const RunGroups& run : runs_)
        if (run.groups.size() >= static_cast<std::size_t>(kKhFewestGroups)) {
            depth_->setValue(static_cast<int>(std::lround(medianSpacing(run.groups))));
            break;
        }
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
    QVBoxLayout* panelLayout = stackPanel(*panel);
    panelLayout->addWidget(kind_);
    panelLayout->addWidget(list_, 1);
    auto* depthBox = new QWidget;
    auto* depthLayout = new QVBoxLayout(depthBox);
    depthLayout->setContentsMargins(4, 4, 4, 4);
    depthLayout->setSpacing(2);
    depthLayout->addWidget(new QLabel(QStringLiteral("Pseudo-depth")));
    depthLayout->addWidget(depth_);
    panelLayout->addWidget(depthBox);
    panelLayout->addWidget(colours_);
    panelLayout->addWidget(print);
    panelLayout->addWidget(saveImage);
    QStatusBar* status = layOutPanelWindow(*this, panel, view_);
    status->setObjectName(QStringLiteral("StatusLine"));
    note_->setObjectName(QStringLiteral("Note"));
    status->addWidget(note_, 1);

    for (int i = 0; i < 2; ++i) new QListWidgetItem(QStringLiteral("Freq%1").arg(i + 1), list_);
    showChoices();
    connect(list_, &QListWidget::currentRowChanged, this, [this](int index) { showMap(index); });
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] {
        depth_->setEnabled(karousHjelt());
        showChoices();
    });
    connect(depth_, &QSpinBox::valueChanged, this, [this] { showMap(shown_); });
    connect(colours_, &ColourEndsBox::changed, this, [this] { showMap(shown_); });
    connect(print, &QPushButton::clicked, this, [this] {
        if (chart_ != nullptr)
            printChartOn(ui_, [this](QPrinter& printer) { return printCharts(*chart_, printer); });
    });
    connect(saveImage, &QPushButton::clicked, this, [this] {
        if (chart_ == nullptr) return;
        saveChartImageAs(ui_, imagePath_, [this](const QString& path, QSize size) {
            return saveChartsImage(*chart_, title_, path, size);
        });
    });
}

PlanMapWindow::~PlanMapWindow() = default;

bool PlanMapWindow::hasValues() const {
    return !fraser_[0].values.empty() || !fraser_[1].values.empty();
}

bool PlanMapWindow::karousHjelt() const {
    return kind_->currentIndex() == 1;
}

PlacedValues PlanMapWindow::placed(int index) {
    if (!karousHjelt()) return fraser_[static_cast<std::size_t>(index)];
    if (!kh_) {
        const WaitCursor wait;
        kh_ = veldro::karousHjelt(runs_, kMostKhLevels);
    }
    return placeKhDepth(*kh_, index + 1, depth_->value(), positions_);
}

// A frequency number without values keeps a grey entry; the one shown stays
// picked where it has values.
void PlanMapWindow::showChoices() {
    const QSignalBlocker quiet(list_);
    int first = -1;
    for (int i = 0; i < 2; ++i) {
        const bool some = !karousHjelt() ? !fraser_[static_cast<std::size_t>(i)].values.empty()
                                         : std::ranges::any_of(runs_, [i](const RunGroups& run) {
                                               return run.run.frequencyNumber == i + 1 &&
                                                      run.groups.size() >=
                                                          static_cast<std::size_t>(kKhFewestGroups);
                                           });
        list_->item(i)->setFlags(some ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                                      : Qt::ItemNeverHasChildren);
        if (some && (first < 0 || i == shown_)) first = i;
    }
    list_->setCurrentRow(first);
    showMap(first);
}

void PlanMapWindow::showMap(int index) {
    if (index > 1) return;
    shown_ = index;
    delete chart_;
    chart_ = nullptr;
    grid_ = {};
    if (index < 0) {
        note_->setText(QStringLiteral("No run has six station groups of kept tilt readings: "
                                      "there is no Karous-Hjelt value to map."));
        return;
    }
    const PlacedValues values = placed(index);
    const QString depth = QString::fromStdString(shortestNumber(depth_->value()));
    if (values.values.empty()) {
        note_->setText(QStringLiteral("No run of frequency number %1 has a Karous-Hjelt level "
                                      "near %2 m: try another depth")
                           .arg(index + 1)
                           .arg(depth));
        return;
    }
    {
        const WaitCursor wait;
        grid_ = gridMinimumCurvature(scatterPoints(values.values));
    }
    MapFeatures features;
    features.valueName = karousHjelt() ? "Current density" : "Fraser (%)";
    features.lines = values.lines;
    title_ = karousHjelt() ? QStringLiteral("Karous-Hjelt current density at %1 m, frequency "
                                            "number %2")
                                 .arg(depth)
                                 .arg(index + 1)
                           : QStringLiteral("Fraser map, frequency number %1").arg(index + 1);
    PlanMapColours colours = divergingMapColours(grid_, colours_->typed());
    colours_->showEnds(colours.low, colours.high);
    chart_ = new PlanMapChart(title_, QString::fromStdString(features.valueName), grid_, features,
                              std::move(colours));
    scene_.addItem(chart_);
    view_->fit(chart_);
    QString note =
        QStringLiteral("%1 profiles in plan at their positions").arg(values.lines.size());
    if (!values.unplacedProfiles.empty()) {
        QStringList left;
        for (const int profile : values.unplacedProfiles) left << QString::number(profile);
        note += QStringLiteral("; without positions, left off: profile %1").arg(left.join(", "));
    }
    note_->setText(note);
}

} // namespace veldro
