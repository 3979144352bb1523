#include "widgets/settings_store.h"

#include <QSettings>

namespace veldro {

namespace {

const QString kSizes = QStringLiteral("Sizes");

} // namespace

std::unique_ptr<QSettings> openSettings() {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Ombrel Zezeverudud\\Initialisation\\Veldro"),
        QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Ombrel Zezeverudud"),
                                       QStringLiteral("Veldro"));
#endif
}

std::optional<QSize> rememberedSize(const QString& name) {
    const std::unique_ptr<QSettings> stored = openSettings();
    stored->beginGroup(kSizes);
    const QVariant value = stored->value(name);
    if (value.typeId() != QMetaType::QSize) return std::nullopt;
    const QSize size = value.toSize();
    if (size.width() <= 0 || size.height() <= 0) return std::nullopt;
    return size;
}

// A size that cannot be written is not worth a message: the window opens at
// its own size next time.
void rememberSize(const QString& name, QSize size) {
    const std::unique_ptr<QSettings> stored = openSettings();
    stored->beginGroup(kSizes);
    stored->setValue(name, size);
}

} // namespace veldro
