#include "processing/ui/karous_hjelt_window.h"

#include "charts/field_chart.h"
#include "data/number_text.h"
#include "processing/ui/field_pictures.h"
#include "widgets/chart_panel.h"

#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

namespace veldro {

namespace {

QString pattern(double value, int decimals) {
    return QString::fromStdString(formatPattern(value, decimals));
}

} // namespace

KarousHjeltWindow::KarousHjeltWindow(UiServices& ui, std::vector<RunGroups> runs, QWidget* owner)
    : KarousHjeltWindow(ui, std::move(runs), new FieldChart, owner) {}

KarousHjeltWindow::KarousHjeltWindow(UiServices& ui, std::vector<RunGroups> runs, FieldChart* chart,
                                     QWidget* owner)
    : ChartFrame(ui, chart, "RunList", owner), runs_(std::move(runs)),
      values_(karousHjelt(runs_, kDefaultKhLevels)), chart_(chart), Levels(new QSpinBox) {
    setWindowTitle(QStringLiteral("Karous-Hjelt section"));
    keepWindowSize(*this, QStringLiteral("KarousHjeltWindow"));

    Levels->setObjectName(QStringLiteral("Levels"));
    Levels->setRange(1, kMostKhLevels);
    Levels->setValue(kDefaultKhLevels);
    Levels->setToolTip(QStringLiteral("How many levels of depth the section reaches at most"));
    addPanelBox(QStringLiteral("Levels"), Levels);

    // A run without a value keeps a grey entry, as in the graph window.
    std::vector<std::pair<QString, bool>> entries;
    for (const KhRun& run : values_)
        entries.emplace_back(QString::fromStdString(run.run.title), !run.values.empty());
    showRun(fillChoices(entries));
    connect(list(), &QListWidget::currentRowChanged, this, [this](int run) { showRun(run); });
    connect(Levels, &QSpinBox::valueChanged, this, [this] { LevelsChange(); });
}

KarousHjeltWindow::~KarousHjeltWindow() = default;

bool KarousHjeltWindow::hasValues() const {
    return std::any_of(values_.begin(), values_.end(),
                       [](const KhRun& run) { return !run.values.empty(); });
}

void KarousHjeltWindow::LevelsChange() {
    values_ = karousHjelt(runs_, Levels->value());
    if (shown_ >= 0) showRun(shown_);
}

void KarousHjeltWindow::showRun(int run) {
    if (run < 0 || run >= static_cast<int>(values_.size())) return;
    const KhRun& kh = values_[static_cast<std::size_t>(run)];
    if (kh.values.empty()) return;
    shown_ = run;
    showKhSection(*chart_, kh);
    note()->setText(QStringLiteral("%1 station groups, spacing %2, depth = level \u00d7 spacing")
                        .arg(runs_[static_cast<std::size_t>(run)].groups.size())
                        .arg(pattern(kh.spacing, 1)));
}

QString KarousHjeltWindow::pointedText(QPointF value) const {
    const double kh = chart_->field().valueAt(value.x(), value.y());
    QString text =
        QStringLiteral("Station %1    Depth %2").arg(pattern(value.x(), 1), pattern(value.y(), 1));
    if (!std::isnan(kh)) text += QStringLiteral("    KH %1").arg(pattern(kh, 2));
    return text;
}

} // namespace veldro
