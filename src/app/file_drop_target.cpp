#include "app/file_drop_target.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace veldro {

namespace {

// The dragged files, in their order; nothing when anything else comes along.
QStringList localFiles(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

FileDropTarget::FileDropTarget(QWidget& window, Accepts accepts, Take take)
    : QObject(&window), accepts_(std::move(accepts)), take_(std::move(take)) {
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::DragEnter && event->type() != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList paths = localFiles(drop->mimeData());
    if (paths.isEmpty() || !accepts_(paths)) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (event->type() == QEvent::Drop) QTimer::singleShot(0, this, [this, paths] { take_(paths); });
    return true;
}

} // namespace veldro
