#include "widgets/colour_ends_box.h"

#include "data/number_text.h"
#include "widgets/ui_services.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace veldro {

namespace {

QString endText(double value) {
    return QString::number(value, 'g', 6).replace(u'.', QChar::fromLatin1(decimalSeparator()));
}

} // namespace

ColourEndsBox::ColourEndsBox(UiServices& ui, bool logarithmic, const QString& common,
                             const char* caption)
    : ui_(ui), logarithmic_(logarithmic), caption_(caption), choice_(new QComboBox),
      low_(new QLineEdit), high_(new QLineEdit) {
    choice_->setObjectName(QStringLiteral("ColourEnds"));
    choice_->addItem(QStringLiteral("Own range"), static_cast<int>(Ends::Own));
    if (!common.isEmpty()) choice_->addItem(common, static_cast<int>(Ends::Common));
    choice_->addItem(QStringLiteral("Typed"), static_cast<int>(Ends::Typed));
    choice_->setToolTip(QStringLiteral("Where the colour scale ends: at the range of what is "
                                       "shown, or at fixed ends so that pictures compare side "
                                       "by side"));
    low_->setObjectName(QStringLiteral("ColourMin"));
    high_->setObjectName(QStringLiteral("ColourMax"));
    const QString unit = logarithmic ? QStringLiteral(" (ohm.m)") : QString();
    low_->setToolTip(QStringLiteral("The value at the low end of the colour scale") + unit);
    high_->setToolTip(QStringLiteral("The value at the high end of the colour scale") + unit);
    low_->setEnabled(false);
    high_->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(new QLabel(QStringLiteral("Colour ends")));
    layout->addWidget(choice_);
    auto* form = new QFormLayout;
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("Min"), low_);
    form->addRow(QStringLiteral("Max"), high_);
    layout->addLayout(form);

    connect(choice_, &QComboBox::currentIndexChanged, this, [this] {
        const bool typing = ends() == Ends::Typed;
        low_->setEnabled(typing);
        high_->setEnabled(typing);
        // The ends shown become the typed ones until others are typed.
        if (typing) {
            const std::optional<ColourEnds> shown = readColourEnds(
                low_->text().toStdString(), high_->text().toStdString(), logarithmic_);
            if (shown) typed_ = *shown;
        }
        emit changed();
    });
    connect(low_, &QLineEdit::editingFinished, this, [this] { endsEdited(*high_); });
    connect(high_, &QLineEdit::editingFinished, this, [this] { endsEdited(*low_); });
}

ColourEndsBox::Ends ColourEndsBox::ends() const {
    return static_cast<Ends>(choice_->currentData().toInt());
}

std::optional<ColourEnds> ColourEndsBox::typed() const {
    if (ends() != Ends::Typed || !(typed_.first < typed_.second)) return std::nullopt;
    return typed_;
}

void ColourEndsBox::showEnds(double low, double high) {
    if (ends() == Ends::Typed) return;
    low_->setText(endText(low));
    high_->setText(endText(high));
}

// Ends that cannot fix the scale are said and the last good ones put back;
// going on to the other end is not yet done typing them.
void ColourEndsBox::endsEdited(const QLineEdit& other) {
    if (ends() != Ends::Typed || QApplication::focusWidget() == &other) return;
    const std::optional<ColourEnds> read =
        readColourEnds(low_->text().toStdString(), high_->text().toStdString(), logarithmic_);
    if (read == typed_) return;
    if (!read) {
        low_->setText(endText(typed_.first));
        high_->setText(endText(typed_.second));
        ui_.tell({logarithmic_ ? kResistivityEndsWanted : kValueEndsWanted, caption_,
                  MessageIcon::Warning});
        return;
    }
    typed_ = *read;
    emit changed();
}

} // namespace veldro
