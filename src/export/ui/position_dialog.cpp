#include "export/ui/position_dialog.h"

#include "export/position_text.h"
#include "widgets/ui_services.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace veldro {

namespace {

constexpr int kWidth = 209;
constexpr int kXyzHeight = 152;
constexpr int kWadiHeight = 278;
constexpr int kRoseSize = 64;

// A compass rose: four long points (north dark), four short ones between them.
QPixmap compassRose() {
    QPixmap pixmap(kRoseSize, kRoseSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(kRoseSize / 2.0, kRoseSize / 2.0);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), 20, 20);
    const auto point = [&p](double angle, double length, double width, const QColor& colour) {
        p.save();
        p.rotate(angle);
        QPainterPath path;
        path.moveTo(0, -length);
        path.lineTo(width, 0);
        path.lineTo(-width, 0);
        path.closeSubpath();
        p.setBrush(colour);
        p.drawPath(path);
        p.restore();
    };
    for (double angle : {45.0, 135.0, 225.0, 315.0}) point(angle, 17, 3.5, QColor(200, 200, 200));
    for (double angle : {90.0, 180.0, 270.0}) point(angle, 29, 5, QColor(245, 245, 245));
    point(0, 29, 5, QColor(40, 40, 40));
    p.setBrush(QColor(90, 90, 90));
    p.drawEllipse(QPointF(0, 0), 2, 2);
    return pixmap;
}

} // namespace

TPositionFrm::TPositionFrm(bool wadiForm, UiServices& ui, QWidget* parent)
    : QDialog(parent), wadiForm_(wadiForm), ui_(ui) {
    setWindowTitle(QStringLiteral("Veldro"));
    GroupBox1 = new QGroupBox(QStringLiteral("Position of the selected profile"), this);
    Edit1 = new QLineEdit(QStringLiteral("0"), GroupBox1);
    const int length = static_cast<int>(wadiForm ? kWadiPositionLength : kXyzPositionLength);
    Edit1->setMaxLength(length);
    // Room for the longest entry, digits being the widest characters typed.
    Edit1->setFixedWidth(Edit1->fontMetrics().horizontalAdvance(QString(length + 1, u'0')) + 12);
    Label1 = new QLabel(QStringLiteral("m"), GroupBox1);
    auto* entry = new QHBoxLayout;
    entry->addWidget(Edit1);
    entry->addWidget(Label1);
    entry->addStretch();

    Panel1 = new QFrame(GroupBox1);
    buildCompass();
    // The XYZ form asks for metres only: the compass is not there at all,
    // rather than below the dialog's edge.
    Panel1->setVisible(wadiForm);
    auto* group = new QVBoxLayout(GroupBox1);
    group->addStretch();
    group->addLayout(entry);
    group->addWidget(Panel1, 0, Qt::AlignHCenter);
    group->addStretch();

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TPositionFrm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1, 1);
    layout->addLayout(buttons);

    setTabOrder(Edit1, RadioButtonN);
    setTabOrder(RadioButtonN, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    setFixedSize(kWidth, wadiForm ? kWadiHeight : kXyzHeight);
}

// The four buttons around the rose form one group: only "N" is reached by
// Tab, the arrow keys move between them.
void TPositionFrm::buildCompass() {
    RadioButtonN = new QRadioButton(QStringLiteral("N"), Panel1);
    RadioButtonE = new QRadioButton(QStringLiteral("E"), Panel1);
    RadioButtonS = new QRadioButton(QStringLiteral("S"), Panel1);
    RadioButtonW = new QRadioButton(QStringLiteral("W"), Panel1);
    for (QRadioButton* button : {RadioButtonE, RadioButtonS, RadioButtonW})
        button->setFocusPolicy(Qt::ClickFocus);
    auto* rose = new QLabel(Panel1);
    rose->setPixmap(compassRose());
    auto* layout = new QGridLayout(Panel1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(RadioButtonN, 0, 1, Qt::AlignHCenter);
    layout->addWidget(RadioButtonW, 1, 0, Qt::AlignRight);
    layout->addWidget(rose, 1, 1, Qt::AlignCenter);
    layout->addWidget(RadioButtonE, 1, 2, Qt::AlignLeft);
    layout->addWidget(RadioButtonS, 2, 1, Qt::AlignHCenter);
}

char TPositionFrm::checkedDirection() const {
    if (RadioButtonN->isChecked()) return 'N';
    if (RadioButtonE->isChecked()) return 'E';
    if (RadioButtonS->isChecked()) return 'S';
    if (RadioButtonW->isChecked()) return 'W';
    return '\0';
}

void TPositionFrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Edit1->setFocus();
    Edit1->selectAll();
}

void TPositionFrm::BitBtn1Click() {
    UiMessages messages(ui_);
    const std::string entry = Edit1->text().toStdString();
    const auto text = wadiForm_ ? wadiPositionText(entry, checkedDirection(), messages)
                                : xyzPositionText(entry, messages);
    if (!text) return; // stays open with the entry as typed
    result_ = *text;
    accept();
}

} // namespace veldro
