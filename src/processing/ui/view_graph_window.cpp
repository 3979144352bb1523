#include "processing/ui/view_graph_window.h"

#include "charts/graph_chart.h"
#include "data/number_text.h"
#include "processing/fraser_walk.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace veldro {

namespace {

constexpr int kHalfPanel = 60;

QWidget* row(std::initializer_list<QWidget*> parts) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QWidget* part : parts) layout->addWidget(part);
    return row;
}

QPushButton* halfButton(const QString& caption, const char* name, const QString& hint) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setFixedWidth(kHalfPanel);
    button->setAutoDefault(false);
    button->setToolTip(hint);
    return button;
}

} // namespace

TViewGraphFrm::TViewGraphFrm(UiServices& ui, QWidget* owner)
    : TViewGraphFrm(ui, new GraphChart, owner) {}

TViewGraphFrm::TViewGraphFrm(UiServices& ui, GraphChart* chart, QWidget* owner)
    : ChartFrame(ui, chart, "CheckListBox1", owner), Chart1(chart), CheckListBox1(list()),
      profileList_(new QListWidget) {
    setWindowTitle(QStringLiteral("View"));
    note()->setObjectName(QStringLiteral("Marks"));

    profileList_->setObjectName(QStringLiteral("ProfileList"));
    profileList_->setUniformItemSizes(true);
    profileList_->setToolTip(
        QStringLiteral("The profiles to show; a double-click shows one profile alone"));
    for (int number : {1, 2}) {
        auto* box = new QCheckBox(QStringLiteral("Freq%1").arg(number));
        box->setObjectName(QStringLiteral("Freq%1Box").arg(number));
        box->setToolTip(QStringLiteral("Show the curves of frequency number %1").arg(number));
        box->setChecked(true);
        box->setFixedWidth(kHalfPanel);
        connect(box, &QCheckBox::toggled, this, [this] { showPicked(); });
        frequencyBoxes_[static_cast<std::size_t>(number - 1)] = box;
    }
    QPushButton* showAll =
        halfButton(QStringLiteral("Show all"), "ShowAll", QStringLiteral("Show every profile"));
    QPushButton* hideAll =
        halfButton(QStringLiteral("Hide all"), "HideAll", QStringLiteral("Hide every profile"));
    auto* profilesLabel = new QLabel(QStringLiteral("Profiles:"));
    profilesLabel->setContentsMargins(3, 2, 0, 2);
    auto* curvesLabel = new QLabel(QStringLiteral("Curves:"));
    curvesLabel->setContentsMargins(3, 2, 0, 2);
    addAboveList(profilesLabel);
    addAboveList(profileList_, 1);
    addAboveList(row({frequencyBoxes_[0], frequencyBoxes_[1]}));
    addAboveList(row({showAll, hideAll}));
    addAboveList(curvesLabel);

    connect(CheckListBox1, &QListWidget::itemChanged, this, [this] { CheckListBox1ClickCheck(); });
    connect(profileList_, &QListWidget::itemChanged, this, [this] { showPicked(); });
    connect(profileList_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* alone) {
        if (!(alone->flags() & Qt::ItemIsEnabled)) return;
        {
            const QSignalBlocker quiet(profileList_);
            setAllProfiles(Qt::Unchecked);
            alone->setCheckState(Qt::Checked);
        }
        showPicked();
    });
    connect(showAll, &QPushButton::clicked, this, [this] { pickAllProfiles(Qt::Checked); });
    connect(hideAll, &QPushButton::clicked, this, [this] { pickAllProfiles(Qt::Unchecked); });
}

TViewGraphFrm::~TViewGraphFrm() = default;

void TViewGraphFrm::setLeftAxisTitle(const QString& title) {
    Chart1->setLeftAxisTitle(title);
}

int TViewGraphFrm::curveCount() const {
    return Chart1->curveCount();
}

// A profile's entry comes with its first curve, in the order of the
// profile numbers, and is enabled with its first curve used.
void TViewGraphFrm::addCurve(const FraserRun& run) {
    Chart1->addCurve(run);
    const QSignalBlocker quiet(CheckListBox1);
    auto* entry = new QListWidgetItem(Chart1->curveTitle(Chart1->curveCount() - 1));
    entry->setFlags(Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren);
    entry->setCheckState(Qt::Unchecked);
    CheckListBox1->addItem(entry);

    if (profileEntries_.contains(run.profile)) return;
    const QSignalBlocker quietProfiles(profileList_);
    const auto after = profileEntries_.upper_bound(run.profile);
    const int at =
        after == profileEntries_.end() ? profileList_->count() : profileList_->row(after->second);
    auto* profile = new QListWidgetItem(QStringLiteral("Prof%1").arg(run.profile));
    profile->setFlags(Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren);
    profile->setCheckState(Qt::Unchecked);
    profileList_->insertItem(at, profile);
    profileEntries_.emplace(run.profile, profile);
}

void TViewGraphFrm::markCurveUsed(int curve) {
    if (Chart1->curveUsed(curve)) return;
    Chart1->markCurveUsed(curve);
    const QSignalBlocker quiet(CheckListBox1);
    QListWidgetItem* entry = CheckListBox1->item(curve);
    entry->setFlags(entry->flags() | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    entry->setCheckState(Qt::Checked);
    const QSignalBlocker quietProfiles(profileList_);
    QListWidgetItem* profile = profileEntries_.at(Chart1->curveProfile(curve));
    profile->setFlags(profile->flags() | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    profile->setCheckState(Qt::Checked);
}

void TViewGraphFrm::addPoint(int curve, double x, double y, bool marked) {
    Chart1->addPoint(curve, x, y, marked);
}

void TViewGraphFrm::setLogarithmicValues() {
    Chart1->setLogarithmicValues();
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

void TViewGraphFrm::showPicked() {
    {
        const QSignalBlocker quiet(CheckListBox1);
        for (int i = 0; i < CheckListBox1->count(); ++i) {
            QListWidgetItem* entry = CheckListBox1->item(i);
            if (!(entry->flags() & Qt::ItemIsEnabled)) continue;
            const bool picked =
                profileEntries_.at(Chart1->curveProfile(i))->checkState() == Qt::Checked &&
                frequencyBoxes_[static_cast<std::size_t>(Chart1->curveFrequencyNumber(i) - 1)]
                    ->isChecked();
            const Qt::CheckState state = picked ? Qt::Checked : Qt::Unchecked;
            if (entry->checkState() != state) entry->setCheckState(state);
        }
    }
    CheckListBox1ClickCheck();
}

void TViewGraphFrm::setAllProfiles(Qt::CheckState state) {
    for (auto& [profile, entry] : profileEntries_)
        if (entry->flags() & Qt::ItemIsEnabled) entry->setCheckState(state);
}

// "Show all" and "Hide all" pick profiles only: the frequency boxes keep
// what the user set.
void TViewGraphFrm::pickAllProfiles(Qt::CheckState state) {
    {
        const QSignalBlocker quiet(profileList_);
        setAllProfiles(state);
    }
    showPicked();
}

// In the display patterns, with the program's decimal separator.
QString TViewGraphFrm::pointedText(QPointF value) const {
    return QStringLiteral("Station %1    %2 %3")
        .arg(QString::fromStdString(formatPattern(value.x(), 1)), Chart1->leftAxisTitle(),
             QString::fromStdString(formatPattern(value.y(), 2)));
}

} // namespace veldro
