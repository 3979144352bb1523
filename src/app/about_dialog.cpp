#include "app/about_dialog.h"

#include "veldro_version.h"
#include "widgets/icons.h"
#include "widgets/ui_services.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace veldro {

namespace {

const QString kCopyright = QStringLiteral("Copyright \u00a9 2026 Ombrel Zezeverudud");

constexpr QSize kClientSize(506, 280);

// The receiver in the field, with a transmitter mast on the horizon.
QPixmap productPicture() {
    QPixmap picture(135, 150);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 118);
    sky.setColorAt(0, QColor(190, 220, 245));
    sky.setColorAt(1, QColor(245, 250, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(0, 0, 135, 150), 6, 6);
    p.setBrush(QColor(168, 150, 100));
    p.drawRect(QRectF(0, 118, 135, 26));
    p.drawRoundedRect(QRectF(0, 132, 135, 18), 6, 6);
    p.setBrush(QColor(110, 150, 70));
    p.drawRect(QRectF(0, 116, 135, 4));

    p.drawPixmap(QRect(88, 58, 40, 60), icons::applicationIcon(4).pixmap(64, 64),
                 QRect(8, 0, 48, 64));

    QLinearGradient body(18, 60, 80, 140);
    body.setColorAt(0, QColor(80, 95, 105));
    body.setColorAt(1, QColor(40, 50, 58));
    p.setPen(QPen(QColor(25, 30, 35), 1.2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(16.5, 58.5, 62, 82), 7, 7);
    p.setPen(QPen(QColor(25, 30, 35), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(70, 58), QPointF(70, 44));
    p.setBrush(QColor(220, 0, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(70, 43), 2.5, 2.5);

    const QRectF screen(23.5, 66.5, 48, 30);
    p.setPen(QPen(QColor(20, 25, 30), 1));
    p.setBrush(QColor(200, 228, 170));
    p.drawRect(screen);
    QPainterPath tilt;
    tilt.moveTo(26, 78);
    tilt.cubicTo(36, 70, 42, 70, 47, 81);
    tilt.cubicTo(52, 92, 60, 92, 69, 84);
    p.setPen(QPen(QColor(20, 60, 20), 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tilt);
    p.setPen(QPen(QColor(20, 60, 20), 0.6, Qt::DotLine));
    p.drawLine(QPointF(25, 81), QPointF(70, 81));

    p.setPen(QPen(QColor(20, 25, 30), 0.8));
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            p.setBrush(row == 2 && column == 2 ? QColor(60, 150, 60) : QColor(215, 220, 225));
            p.drawRoundedRect(QRectF(27 + 14 * column, 104 + 11 * row, 11, 8), 2, 2);
        }
    return picture;
}

QLabel* named(QLabel* label, const char* name) {
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

QString versionLabel(const QString& version) {
    const QStringList parts = version.split(u'.');
    QString label = QStringLiteral("V");
    for (int i = 0; i < 3; ++i) {
        const int number = i < parts.size() ? parts[i].toInt() : 0;
        label += QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
        if (i < 2) label += u'.';
    }
    return label;
}

QUrl makerHomePage() {
    return QUrl(QString::fromLatin1(kMakerHomePage));
}

QUrl makerSupportPage() {
    return QUrl(QString::fromLatin1(kMakerHomePage) + QStringLiteral("/support/veldro"));
}

QUrl makerContactPage() {
    return QUrl(QString::fromLatin1(kMakerHomePage) + QStringLiteral("/contact"));
}

TAboutBoxFrm::TAboutBoxFrm(UiServices& ui, QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), ui_(ui),
      ProgramIcon(named(new QLabel, "ProgramIcon")), ProductName(named(new QLabel, "ProductName")),
      Version(named(new QLabel, "Version")), Copyright(named(new QLabel, "Copyright")),
      Memo1(new QPlainTextEdit), Label1(named(new QLabel(QStringLiteral("E-mail : ")), "Label1")),
      Label2(named(new QLabel(QStringLiteral("Web :")), "Label2")),
      Label3(link("Label3", QStringLiteral("contact form"))),
      Label4(link("Label4", makerHomePage().toString())), Image1(named(new QLabel, "Image1")),
      BitBtn1(new QPushButton(QStringLiteral("OK"))) {
    setObjectName(QStringLiteral("AboutBoxFrm"));
    setWindowTitle(QStringLiteral("About"));
    Memo1->setObjectName(QStringLiteral("Memo1"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    auto* Panel1 = new QFrame;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    auto* links = new QGridLayout;
    links->addWidget(Label1, 0, 0);
    links->addWidget(Label3, 0, 1);
    links->addWidget(Label2, 1, 0);
    links->addWidget(Label4, 1, 1);
    links->setColumnStretch(1, 1);
    auto* grid = new QGridLayout(Panel1);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(14);
    grid->addWidget(ProgramIcon, 0, 0, 6, 1, Qt::AlignTop);
    grid->addWidget(ProductName, 0, 1);
    grid->addWidget(Image1, 0, 2, 2, 1, Qt::AlignTop | Qt::AlignRight);
    grid->addWidget(Version, 1, 1);
    grid->addWidget(Copyright, 2, 1, 1, 2);
    grid->addWidget(Memo1, 3, 1, 1, 2);
    grid->addLayout(links, 4, 1, 1, 2);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel1, 1);
    layout->addWidget(BitBtn1, 0, Qt::AlignHCenter);
    FormCreate();
    setFixedSize(sizeHint().expandedTo(kClientSize));
}

void TAboutBoxFrm::FormCreate() {
    ProgramIcon->setPixmap(productPicture());
    Image1->setPixmap(icons::applicationIcon().pixmap(32, 32));
    QFont bold = ProductName->font();
    bold.setPointSize(12);
    bold.setBold(true);
    ProductName->setFont(bold);
    ProductName->setText(QStringLiteral("Veldro"));
    Version->setText(versionLabel(QString::fromLatin1(kProgramVersion)));
    Copyright->setText(kCopyright);

    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setFocusPolicy(Qt::NoFocus);
    QPalette onPanel = Memo1->palette();
    onPanel.setColor(QPalette::Base, onPanel.color(QPalette::Window));
    Memo1->setPalette(onPanel);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->document()->setDocumentMargin(0);
    Memo1->setPlainText(QString::fromUtf8(kProgramComments));
    // Sized to its lines, since it neither wraps nor scrolls.
    const QStringList lines = Memo1->toPlainText().split(u'\n');
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, Memo1->fontMetrics().horizontalAdvance(line));
    Memo1->setFixedSize(widest + 8, Memo1->fontMetrics().lineSpacing() * int(lines.size()) + 6);
}

QLabel* TAboutBoxFrm::link(const char* name, const QString& text) {
    QLabel* label = named(new QLabel(text), name);
    QFont font = label->font();
    font.setPointSize(10);
    font.setUnderline(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: blue;"));
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
    return label;
}

bool TAboutBoxFrm::eventFilter(QObject* watched, QEvent* event) {
    // A click: pressed and released on the label.
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint())) {
            if (watched == Label3) Label3Click();
            if (watched == Label4) Label4Click();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBoxFrm::Label3Click() {
    ui_.openUrl(makerContactPage());
}

void TAboutBoxFrm::Label4Click() {
    ui_.openUrl(QUrl(Label4->text()));
}

} // namespace veldro
