#include "processing/ui/chart_frame.h"

#include "charts/chart_image.h"
#include "charts/station_chart.h"
#include "processing/ui/graph_view.h"
#include "widgets/chart_panel.h"
#include "widgets/icons.h"
#include "widgets/ui_services.h"

#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace veldro {

namespace {

constexpr int kDesignWidth = 1039;
constexpr int kDesignHeight = 763;

} // namespace

ChartFrame::ChartFrame(UiServices& ui, StationChart* chart, const char* listName, QWidget* owner)
    : QDialog(owner), ui_(ui), chart_(chart), view_(new GraphView(chart)), list_(new QListWidget),
      panelLayout_(new QVBoxLayout), print_(panelButton(QStringLiteral(" Print "), "BitBtnPrint")),
      pointed_(new QLabel), note_(new QLabel) {
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    resize(kDesignWidth, kDesignHeight);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    view_->setObjectName(QStringLiteral("Chart1"));
    view_->setFrameShape(QFrame::NoFrame);
    list_->setObjectName(QLatin1String(listName));
    list_->setUniformItemSizes(true);
    list_->setStyleSheet(QStringLiteral("QListWidget { background: palette(button); }"));
    print_->setIcon(icons::toolIcon(icons::Tool::Print));
    print_->setShortcut(QKeySequence::Print);
    print_->setToolTip(QStringLiteral("Print the chart on the default printer"));
    QPushButton* saveImage = panelButton(QStringLiteral("Save image..."), "SaveImage");
    saveImage->setShortcut(QKeySequence::Save);
    saveImage->setToolTip(QStringLiteral(
        "Save the chart as shown as PNG, SVG or PDF, at the picture size you ask for"));
    QPushButton* resetZoom = panelButton(QStringLiteral("Reset zoom"), "ResetZoom");
    resetZoom->setToolTip(QStringLiteral("Show the whole range again (or right-click the chart); "
                                         "drag a rectangle on the chart to zoom in"));

    auto* panel = new QWidget;
    panel->setFixedWidth(kPanelWidth);
    panel->setLayout(panelLayout_);
    panelLayout_->setContentsMargins(0, 0, 0, 0);
    panelLayout_->setSpacing(0);
    panelLayout_->addWidget(list_, 1);
    for (QPushButton* button : {print_, saveImage, resetZoom}) panelLayout_->addWidget(button);

    QStatusBar* status = layOutPanelWindow(*this, panel, view_);
    status->setObjectName(QStringLiteral("StatusLine"));
    pointed_->setObjectName(QStringLiteral("Pointed"));
    note_->setContentsMargins(0, 0, 14, 0);
    status->addWidget(pointed_, 1);
    status->addPermanentWidget(note_);

    connect(print_, &QPushButton::clicked, this, [this] { BitBtnPrintClick(); });
    connect(saveImage, &QPushButton::clicked, this, [this] { saveImageClick(); });
    connect(resetZoom, &QPushButton::clicked, this, [this] { chart_->showWholeRange(); });
    connect(view_, &GraphView::pointed, this,
            [this](QPointF at) { pointed_->setText(pointedText(at)); });
    connect(view_, &GraphView::pointedAway, pointed_, &QLabel::clear);
}

ChartFrame::~ChartFrame() = default;

int ChartFrame::fillChoices(const std::vector<std::pair<QString, bool>>& entries) {
    int first = -1;
    for (const auto& [title, hasSomething] : entries) {
        auto* entry = new QListWidgetItem(title, list_);
        if (!hasSomething) entry->setFlags(Qt::ItemNeverHasChildren);
        if (hasSomething && first < 0) first = list_->count() - 1;
    }
    list_->setCurrentRow(first);
    return first;
}

void ChartFrame::addPanelBox(const QString& label, QWidget* box) {
    auto* row = new QWidget;
    auto* form = new QFormLayout(row);
    form->setContentsMargins(4, 4, 4, 4);
    form->addRow(label, box);
    panelLayout_->insertWidget(panelLayout_->indexOf(print_), row);
}

void ChartFrame::addAboveList(QWidget* part, int stretch) {
    panelLayout_->insertWidget(panelLayout_->indexOf(list_), part, stretch);
}

void ChartFrame::BitBtnPrintClick() {
    printChartOn(ui_, [this](QPrinter& printer) { return printChart(*chart_, printer); });
}

void ChartFrame::saveImageClick() {
    saveChartImageAs(ui_, imagePath_, [this](const QString& path, QSize size) {
        return saveChartImage(*chart_, path, size);
    });
}

} // namespace veldro
