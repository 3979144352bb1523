#pragma once

#include "maps/colour_ends.h"

#include <QString>
#include <QWidget>
#include <optional>

class QComboBox;
class QLineEdit;

namespace veldro {

class UiServices;

// Where a chart window's colour scale ends: at the range of the values shown
// ("Own range"), at a range common to everything the window shows (where it
// offers one), or at ends typed in Min and Max, so that pictures compare side
// by side. While not typed, Min and Max show the ends in use.
class ColourEndsBox : public QWidget {
    Q_OBJECT
public:
    enum class Ends { Own, Common, Typed };

    // `logarithmic`: ends above 0 (resistivity). `common`: the entry of the
    // common range, none when empty. `caption`: that of the boxes that say
    // typed ends cannot fix the scale.
    ColourEndsBox(UiServices& ui, bool logarithmic, const QString& common, const char* caption);

    Ends ends() const;
    // The typed ends, when those are chosen.
    std::optional<ColourEnds> typed() const;
    // The ends in use, shown while they are not typed.
    void showEnds(double low, double high);

signals:
    void changed();

private:
    // Once an end is typed; `other` is the other end's box.
    void endsEdited(const QLineEdit& other);

    UiServices& ui_;
    bool logarithmic_;
    const char* caption_;
    QComboBox* choice_;
    QLineEdit* low_;
    QLineEdit* high_;
    ColourEnds typed_{0, 0};
};

} // namespace veldro
