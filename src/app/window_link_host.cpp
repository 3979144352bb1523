#include "app/window_link_host.h"

#include "link/port.h"
#include "widgets/ui_services.h"

#include <QApplication>

namespace veldro {

void WindowLinkHost::processEvents() {
    QCoreApplication::processEvents();
}

bool WindowLinkHost::askOkCancel(const Message& question) {
    return services_.ask(question, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) ==
           QMessageBox::Ok;
}

// The port keeps why its device refused to open until its next Connect; the
// error box that follows such a refusal ("Port error") carries it as detail.
void WindowLinkHost::show(const Message& message) {
    const bool refused = message.icon == MessageIcon::Error && currentPort_ &&
                         !currentPort_->connectFailure().empty();
    services_.tellWithDetail(
        message, refused ? QString::fromStdString(currentPort_->connectFailure()) : QString());
}

// The command that runs the link holds a wait cursor; the link only changes its shape.
void WindowLinkHost::setCursor(Cursor cursor) {
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(cursor == Cursor::Busy ? Qt::WaitCursor
                                                                  : Qt::ArrowCursor);
}

} // namespace veldro
