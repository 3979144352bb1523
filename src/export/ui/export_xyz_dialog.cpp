#include "export/ui/export_xyz_dialog.h"

#include "export/ui/position_dialog.h"
#include "export/ui/profile_list_model.h"
#include "widgets/measurement_table_view.h"
#include "widgets/ui_services.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace veldro {

namespace {

constexpr int kWidth = 449;
constexpr int kHeight = 425;
constexpr int kMinimumHeight = 287;

template <class T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* boldLabel(const char* text, const char* name, QWidget* parent) {
    auto* label = named(new QLabel(QString::fromLatin1(text), parent), name);
    QFont font = label->font();
    font.setPointSize(12);
    font.setBold(true);
    label->setFont(font);
    return label;
}

// A hidden part that keeps its room, so the list does not jump.
void hideKeepingRoom(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    widget->hide();
}

} // namespace

TExportXYZFrm::TExportXYZFrm(ProfileExportFormat format, const MeasurementStore& store,
                             const RowList& rows, UiServices& ui, ExportAction exportProfiles,
                             QWidget* parent)
    : QDialog(parent), format_(format), ui_(ui), exportProfiles_(std::move(exportProfiles)) {
    setWindowTitle(QString::fromStdString(exportDialogCaption(format)));
    Label1 = named(new QLabel(QStringLiteral("Select profiles to export :"), this), "Label1");
    buildList(buildProfileItems(store, rows));
    buildFrequencyChoice();

    Button1 = named(new QPushButton(QStringLiteral("OK"), this), "Button1");
    Button2 = named(new QPushButton(QStringLiteral("Cancel"), this), "Button2");
    Button1->setEnabled(false);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TExportXYZFrm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Panel1, 1);
    layout->addWidget(RadioGroup1->parentWidget());
    layout->addLayout(buttons);
    setFixedWidth(kWidth);
    setMinimumHeight(kMinimumHeight);
    resize(kWidth, kHeight);
}

TExportXYZFrm::~TExportXYZFrm() = default;

const std::vector<TProfileItem>& TExportXYZFrm::items() const {
    return model_->items();
}

void TExportXYZFrm::buildList(std::vector<TProfileItem> items) {
    Panel1 = named(new QFrame(this), "Panel1");
    TabProfilesCLstView = named(new MeasurementTableView(Panel1), "TabProfilesCLstView");
    model_ = new ProfileListModel(std::move(items), this);
    TabProfilesCLstView->setModel(model_);
    TabProfilesCLstView->setSelectionMode(QAbstractItemView::SingleSelection);
    TabProfilesCLstView->setTabKeyNavigation(false); // Tab goes on to the frequency
    // A caption wider than its column in this font widens it; the last column
    // takes the room left.
    QHeaderView* header = TabProfilesCLstView->horizontalHeader();
    for (std::size_t c = 0; c < ProfileListModel::kColumnWidths.size(); ++c) {
        const int column = static_cast<int>(c);
        TabProfilesCLstView->setColumnWidth(
            column, std::max(ProfileListModel::kColumnWidths[c], header->sectionSizeHint(column)));
    }
    header->setStretchLastSection(true);
    TabProfilesCLstView->imageStripPressed = [this](int row) { return pickImagePressed(row); };
    TabProfilesCLstView->doubleClickedRight = [this] { TabProfilesCLstViewDblClick(); };
    TabProfilesCLstView->installEventFilter(this);
    auto* layout = new QVBoxLayout(Panel1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(TabProfilesCLstView);
}

// The radio group and the two labels that say why there is none share one place.
void TExportXYZFrm::buildFrequencyChoice() {
    auto* area = new QWidget(this);
    RadioGroup1 =
        named(new QGroupBox(QStringLiteral("Select frequency to export :"), area), "RadioGroup1");
    new QGridLayout(RadioGroup1);
    frequencies_ = new QButtonGroup(this);
    connect(frequencies_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) RadioGroup1Click();
    });
    auto* reasons = new QWidget(area);
    Label2 = boldLabel(kExportNotPossible, "Label2", reasons);
    Label3 = boldLabel(kNoCommonFrequency, "Label3", reasons);
    auto* reasonsLayout = new QVBoxLayout(reasons);
    reasonsLayout->setContentsMargins(0, 0, 0, 0);
    reasonsLayout->addWidget(Label2);
    reasonsLayout->addWidget(Label3);
    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RadioGroup1, 0, 0);
    layout->addWidget(reasons, 0, 0);
    for (QWidget* part : {static_cast<QWidget*>(RadioGroup1), static_cast<QWidget*>(Label2),
                          static_cast<QWidget*>(Label3)})
        hideKeepingRoom(part);
}

bool TExportXYZFrm::pickImagePressed(int row) {
    TabProfilesCLstView->selectRow(row);
    if (pickImageGuard_.secondPress(model_->item(row).profileNumber)) return true;
    toggle(row);
    updateCommonFrequency();
    return true;
}

void TExportXYZFrm::TabProfilesCLstViewDblClick() {
    const int row = TabProfilesCLstView->currentIndex().row();
    if (row < 0) return;
    toggle(row);
    updateCommonFrequency();
}

// Space picks or drops the current profile, for the keyboard.
bool TExportXYZFrm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TabProfilesCLstView && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        TabProfilesCLstViewDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Un-picking keeps the position, and so does a cancelled position dialog.
void TExportXYZFrm::toggle(int row) {
    TProfileItem& item = model_->item(row);
    item.selected = !item.selected;
    model_->itemChanged(row);
    if (!item.selected) return;
    TabProfilesCLstView->selectRow(row);
    const std::string position = askPosition();
    if (position == kMissingPosition) return;
    item.positionText = position;
    model_->itemChanged(row);
}

std::string TExportXYZFrm::askPosition() {
    TPositionFrm dialog(format_ == ProfileExportFormat::Wadi, ui_, this);
    if (ui_.runDialog(dialog) != QDialog::Accepted) return kMissingPosition;
    return dialog.resultText();
}

void TExportXYZFrm::updateCommonFrequency() {
    Button1->setEnabled(false);
    for (QAbstractButton* button : frequencies_->buttons()) delete button;
    const std::vector<int> choices = commonFrequencies(model_->items());
    if (choices.empty()) {
        RadioGroup1->hide();
        const bool anyPicked = std::any_of(model_->items().begin(), model_->items().end(),
                                           [](const TProfileItem& item) { return item.selected; });
        Label2->setVisible(anyPicked);
        Label3->setVisible(anyPicked);
        return;
    }
    auto* grid = static_cast<QGridLayout*>(RadioGroup1->layout());
    QWidget* previous = TabProfilesCLstView; // Tab goes from the list to the choice
    for (std::size_t i = 0; i < choices.size(); ++i) {
        auto* button = new QRadioButton(QString::number(choices[i]), RadioGroup1);
        frequencies_->addButton(button);
        grid->addWidget(button, 0, static_cast<int>(i));
        setTabOrder(previous, button);
        previous = button;
    }
    setTabOrder(previous, Button1);
    Label2->hide();
    Label3->hide();
    RadioGroup1->show();
    if (choices.size() == 1) frequencies_->buttons().constFirst()->setChecked(true);
}

void TExportXYZFrm::RadioGroup1Click() {
    Button1->setEnabled(true);
}

void TExportXYZFrm::Button1Click() {
    const QAbstractButton* chosen = frequencies_->checkedButton();
    if (chosen) exportProfiles_(model_->items(), chosen->text().toInt());
}

} // namespace veldro
