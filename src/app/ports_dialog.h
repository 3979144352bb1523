#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>

class QComboBox;

namespace veldro {

// "Tools" > "Ports...": the serial device behind each of COM 1 to COM 4,
// picked among the devices present or typed.
class PortsDialog : public QDialog {
    Q_OBJECT
public:
    PortsDialog(const std::array<QString, 4>& devices, const QStringList& present,
                QWidget* parent = nullptr);

    // The devices chosen; a box left empty gives its COM's default back.
    std::array<QString, 4> chosen() const;

private:
    std::array<QComboBox*, 4> boxes_{};
};

} // namespace veldro
