#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QWidget;

namespace veldro {

// Files dragged from the desktop onto a window: a drag of local files that
// `accepts` takes is shown as a copy; a drop hands their paths to `take` once
// the drop has ended, so that `take` may ask questions without holding the
// drag's source.
class FileDropTarget : public QObject {
    Q_OBJECT
public:
    using Accepts = std::function<bool(const QStringList& paths)>;
    using Take = std::function<void(const QStringList& paths)>;

    FileDropTarget(QWidget& window, Accepts accepts, Take take);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Accepts accepts_;
    Take take_;
};

} // namespace veldro
