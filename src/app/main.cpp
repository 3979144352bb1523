// veldro: the window program.
#include "app/application.h"
#include "app/main_window.h"
#include "link/download_journal.h"
#include "widgets/ui_services.h"

#include <QApplication>

using namespace veldro;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    configureApplication();

    QtUiServices services;
    try {
        TMainFrm window(services);
        services.setParent(&window);
        window.restoreDownloadsOnFirstShow(downloadJournalFolder());
        window.openOnFirstShow(QApplication::arguments().mid(1));
        window.show();
        return QApplication::exec();
    } catch (const std::exception& error) {
        services.setParent(nullptr);
        services.tell({error.what(), "", MessageIcon::Error});
        return 1;
    }
}
