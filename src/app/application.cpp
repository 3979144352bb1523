#include "app/application.h"

#include "data/number_text.h"
#include "widgets/icons.h"

#include <QApplication>
#include <QLocale>

namespace veldro {

void configureApplication() {
    QApplication::setApplicationName(QStringLiteral("Veldro"));
    // The desktop entry's name: docks find the window's entry and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("veldro"));
    QApplication::setWindowIcon(icons::applicationIcon());
    const QString point = QLocale::system().decimalPoint();
    setDecimalSeparator(point.size() == 1 && point[0].unicode() < 0x80 ? point[0].toLatin1() : '.');
}

} // namespace veldro
