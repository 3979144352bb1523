#include "processing/ui/fraser_map_window.h"

#include "charts/field_chart.h"
#include "data/number_text.h"
#include "processing/ui/field_pictures.h"
#include "widgets/chart_panel.h"
#include "widgets/ui_services.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <cmath>

namespace veldro {

namespace {

QString pattern(double value, int decimals) {
    return QString::fromStdString(formatPattern(value, decimals));
}

} // namespace

FraserMapWindow::FraserMapWindow(UiServices& ui, std::array<FraserMap, 2> maps, QWidget* owner)
    : FraserMapWindow(ui, std::move(maps), new FieldChart, owner) {}

FraserMapWindow::FraserMapWindow(UiServices& ui, std::array<FraserMap, 2> maps, FieldChart* chart,
                                 QWidget* owner)
    : ChartFrame(ui, chart, "FrequencyList", owner), maps_(std::move(maps)), chart_(chart),
      LineSpacing(new QLineEdit) {
    setWindowTitle(QStringLiteral("Fraser map"));
    keepWindowSize(*this, QStringLiteral("FraserMapWindow"));

    LineSpacing->setObjectName(QStringLiteral("LineSpacing"));
    LineSpacing->setText(spacingText_);
    LineSpacing->setToolTip(
        QStringLiteral("The distance between profiles 1 and 2: a profile lies at its number "
                       "times this spacing"));
    addPanelBox(QStringLiteral("Line spacing"), LineSpacing);

    showMap(fillChoices({{QStringLiteral("Freq1"), maps_[0].hasValues()},
                         {QStringLiteral("Freq2"), maps_[1].hasValues()}}));
    connect(list(), &QListWidget::currentRowChanged, this, [this](int index) { showMap(index); });
    connect(LineSpacing, &QLineEdit::editingFinished, this, [this] { LineSpacingExit(); });
}

FraserMapWindow::~FraserMapWindow() = default;

bool FraserMapWindow::hasValues() const {
    return maps_[0].hasValues() || maps_[1].hasValues();
}

// A spacing that is no number above 0 is said and the last good one put back.
void FraserMapWindow::LineSpacingExit() {
    const QString text = LineSpacing->text().trimmed();
    if (text == spacingText_) return;
    const std::optional<double> spacing = readLineSpacing(text.toStdString());
    if (!spacing) {
        LineSpacing->setText(spacingText_);
        ui().tell({kLineSpacingWanted, "Fraser map", MessageIcon::Warning});
        return;
    }
    spacingText_ = text;
    spacing_ = *spacing;
    if (shown_ >= 0) showMap(shown_);
}

void FraserMapWindow::showMap(int index) {
    if (index < 0 || index > 1 || !maps_[static_cast<std::size_t>(index)].hasValues()) return;
    shown_ = index;
    const FraserMap& map = maps_[static_cast<std::size_t>(index)];
    showFraserMap(*chart_, map, spacing_, spacingText_);
    note()->setText(
        QStringLiteral("%1 profiles; a dot is a station measured").arg(map.lines.size()));
}

QString FraserMapWindow::pointedText(QPointF value) const {
    const double fraser = chart_->field().valueAt(value.x(), value.y());
    QString text = QStringLiteral("Station %1    Profile %2")
                       .arg(pattern(value.x(), 1), pattern(value.y() / spacing_, 1));
    if (!std::isnan(fraser)) text += QStringLiteral("    Fraser %1").arg(pattern(fraser, 2));
    return text;
}

} // namespace veldro
