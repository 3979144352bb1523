#include "processing/ui/view_graph_window.h"

#include "data/number_text.h"
#include "processing/ui/chart/graph_chart.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>

namespace veldro {

TViewGraphFrm::TViewGraphFrm(UiServices& ui, QWidget* owner)
    : TViewGraphFrm(ui, new GraphChart, owner) {}

TViewGraphFrm::TViewGraphFrm(UiServices& ui, GraphChart* chart, QWidget* owner)
    : ChartFrame(ui, chart, "CheckListBox1", owner), Chart1(chart), CheckListBox1(list()) {
    setWindowTitle(QStringLiteral("View"));
    note()->setObjectName(QStringLiteral("Marks"));
    connect(CheckListBox1, &QListWidget::itemChanged, this, [this] { CheckListBox1ClickCheck(); });
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
    ChartFrame::showEvent(event);
    if (!shown_) FormShow();
}

void TViewGraphFrm::FormShow() {
    shown_ = true;
    CheckListBox1ClickCheck();
    if (Chart1->markedCount() > 0)
        note()->setText(
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

// In the display patterns, with the program's decimal separator.
QString TViewGraphFrm::pointedText(QPointF value) const {
    return QStringLiteral("Station %1    %2 %3")
        .arg(QString::fromStdString(formatPattern(value.x(), 1)), Chart1->leftAxisTitle(),
             QString::fromStdString(formatPattern(value.y(), 2)));
}

} // namespace veldro
