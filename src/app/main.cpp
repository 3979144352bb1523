// veldro: the window program.
#include "app/icons.h"
#include "app/main_window.h"
#include "app/ui_services.h"
#include "data/number_text.h"

#include <QApplication>
#include <QLocale>

using namespace veldro;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veldro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Veldro"));
    QApplication::setWindowIcon(icons::applicationIcon());
    const QString point = QLocale::system().decimalPoint();
    setDecimalSeparator(point.size() == 1 && point[0].unicode() < 0x80 ? point[0].toLatin1() : '.');

    QtUiServices services;
    try {
        TMainFrm window(services);
        services.setParent(&window);
        const QStringList arguments = QApplication::arguments();
        if (arguments.size() > 1) window.openOnFirstShow(arguments[1]);
        window.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        services.setParent(nullptr);
        services.tell({error.what(), "", MessageIcon::Error});
        return 1;
    }
}
