#include "processing/ui/view_graph_window.h"

#include "app/icons.h"
#include "app/ui_services.h"
#include "data/number_text.h"
#include "processing/ui/chart/chart_image.h"
#include "processing/ui/chart/graph_chart.h"
#include "processing/ui/graph_view.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>

namespace veldro {

namespace {

constexpr int kDesignWidth = 1039;
constexpr int kDesignHeight = 763;
constexpr int kPanelWidth = 120;
constexpr int kButtonHeight = 25;

const Message kNoPrinter{"There is no printer to print on: the chart was not printed.\n"
                         "Set up a default printer, or keep the chart as a PDF with "
                         "\"Save image...\".",
                         "Print", MessageIcon::Warning};
const Message kPrintFailed{"The chart could not be printed.", "Print", MessageIcon::Error};

QPushButton* panelButton(const QString& caption, const char* name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(kPanelWidth, kButtonHeight);
    button->setAutoDefault(false);
    return button;
}

// The filter entry of the picture's format, 1-based, as the save dialog counts.
int imageFilterIndex(const QString& path) {
    const QString format = QFileInfo(path).suffix().toLower();
    if (format == QLatin1String("svg")) return 2;
    if (format == QLatin1String("pdf")) return 3;
    return 1;
}

} // namespace

TViewGraphFrm::TViewGraphFrm(UiServices& ui, QWidget* owner)
    : QDialog(owner), ui_(ui), Chart1(new GraphChart), chartView_(new GraphView(Chart1)),
      CheckListBox1(new QListWidget),
      BitBtnPrint(panelButton(QStringLiteral(" Print "), "BitBtnPrint")), pointedLabel_(new QLabel),
      marksLabel_(new QLabel) {
    setWindowTitle(QStringLiteral("View"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    resize(kDesignWidth, kDesignHeight);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    chartView_->setObjectName(QStringLiteral("Chart1"));
    chartView_->setFrameShape(QFrame::NoFrame);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setUniformItemSizes(true);
    CheckListBox1->setStyleSheet(QStringLiteral("QListWidget { background: palette(button); }"));
    BitBtnPrint->setIcon(icons::toolIcon(icons::Tool::Print));
    BitBtnPrint->setShortcut(QKeySequence::Print);
    BitBtnPrint->setToolTip(QStringLiteral("Print the chart on the default printer"));
    QPushButton* saveImage = panelButton(QStringLiteral("Save image..."), "SaveImage");
    saveImage->setShortcut(QKeySequence::Save);
    saveImage->setToolTip(QStringLiteral("Save the chart as shown as PNG, SVG or PDF"));
    QPushButton* resetZoom = panelButton(QStringLiteral("Reset zoom"), "ResetZoom");
    resetZoom->setToolTip(QStringLiteral("Show the whole range again (or right-click the chart); "
                                         "drag a rectangle on the chart to zoom in"));

    auto* panel = new QWidget;
    panel->setFixedWidth(kPanelWidth);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(CheckListBox1, 1);
    for (QPushButton* button : {BitBtnPrint, saveImage, resetZoom}) panelLayout->addWidget(button);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(panel);
    body->addWidget(chartView_, 1);

    auto* status = new QStatusBar;
    status->setObjectName(QStringLiteral("StatusLine"));
    status->setSizeGripEnabled(false);
    pointedLabel_->setObjectName(QStringLiteral("Pointed"));
    marksLabel_->setObjectName(QStringLiteral("Marks"));
    marksLabel_->setContentsMargins(0, 0, 6, 0);
    status->addWidget(pointedLabel_, 1);
    status->addPermanentWidget(marksLabel_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(body, 1);
    layout->addWidget(status);

    connect(CheckListBox1, &QListWidget::itemChanged, this, [this] { CheckListBox1ClickCheck(); });
    connect(BitBtnPrint, &QPushButton::clicked, this, [this] { BitBtnPrintClick(); });
    connect(saveImage, &QPushButton::clicked, this, [this] { saveImageClick(); });
    connect(resetZoom, &QPushButton::clicked, this, [this] { Chart1->showWholeRange(); });
    connect(chartView_, &GraphView::pointed, this, [this](QPointF at) { showPointed(at); });
    connect(chartView_, &GraphView::pointedAway, pointedLabel_, &QLabel::clear);
}

TViewGraphFrm::~TViewGraphFrm() = default;

void TViewGraphFrm::setLeftAxisTitle(const QString& title) {
    Chart1->setLeftAxisTitle(title);
}

int TViewGraphFrm::curveCount() const {
    return Chart1->curveCount();
}

void TViewGraphFrm::addCurve(const std::string& title) {
    Chart1->addCurve(title);
    const QSignalBlocker quiet(CheckListBox1);
    auto* entry = new QListWidgetItem(Chart1->curveTitle(Chart1->curveCount() - 1));
    entry->setFlags(Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren);
    entry->setCheckState(Qt::Unchecked);
    CheckListBox1->addItem(entry);
}

void TViewGraphFrm::markCurveUsed(int curve) {
    if (Chart1->curveUsed(curve)) return;
    Chart1->markCurveUsed(curve);
    const QSignalBlocker quiet(CheckListBox1);
    QListWidgetItem* entry = CheckListBox1->item(curve);
    entry->setFlags(entry->flags() | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    entry->setCheckState(Qt::Checked);
}

void TViewGraphFrm::addPoint(int curve, double x, double y, bool marked) {
    Chart1->addPoint(curve, x, y, marked);
}

void TViewGraphFrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) FormShow();
}

void TViewGraphFrm::FormShow() {
    shown_ = true;
    CheckListBox1ClickCheck();
    if (Chart1->markedCount() > 0)
        marksLabel_->setText(
            QStringLiteral("%1 value%2 marked with a triangle: unevenly spaced stations")
                .arg(Chart1->markedCount())
                .arg(Chart1->markedCount() == 1 ? "" : "s"));
}

void TViewGraphFrm::CheckListBox1ClickCheck() {
    std::vector<bool> visible;
    visible.reserve(static_cast<std::size_t>(CheckListBox1->count()));
    for (int i = 0; i < CheckListBox1->count(); ++i)
        visible.push_back(CheckListBox1->item(i)->checkState() == Qt::Checked);
    Chart1->setVisibleCurves(visible);
}

void TViewGraphFrm::BitBtnPrintClick() {
    QPrinter printer;
    if (!ui_.preparePrinter(printer, false)) {
        ui_.tell(kNoPrinter);
        return;
    }
    if (!printChart(*Chart1, printer)) ui_.tell(kPrintFailed);
}

void TViewGraphFrm::saveImageClick() {
    const QFileInfo proposed(imagePath_);
    const QString path =
        ui_.saveFileName({proposed.absolutePath(), proposed.fileName(), kChartImageFilter,
                          imageFilterIndex(imagePath_), QStringLiteral("png")});
    if (path.isEmpty()) return;
    const QString error = saveChartImage(*Chart1, path, Chart1->size().toSize());
    if (!error.isEmpty())
        ui_.tell(
            {QStringLiteral("The chart was not saved in %1: %2.").arg(path, error).toStdString(),
             "Save image", MessageIcon::Error});
}

// In the display patterns, with the program's decimal separator.
void TViewGraphFrm::showPointed(QPointF value) {
    pointedLabel_->setText(QStringLiteral("Station %1    %2 %3")
                               .arg(QString::fromStdString(formatPattern(value.x(), 1)),
                                    Chart1->leftAxisTitle(),
                                    QString::fromStdString(formatPattern(value.y(), 2))));
}

} // namespace veldro
