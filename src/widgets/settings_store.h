#pragma once

#include <QSize>
#include <QString>
#include <memory>
#include <optional>

class QSettings;

namespace veldro {

// The user's settings: the registry key on Windows, an INI file in the user's
// configuration folder elsewhere. Its main group holds the program's fixed set
// of values (app/settings.h); what windows remember goes into groups of its own.
std::unique_ptr<QSettings> openSettings();

// A size a window or a picture had when last used, kept under `name` in the
// settings' "Sizes" group; none when never kept or not a size.
std::optional<QSize> rememberedSize(const QString& name);
void rememberSize(const QString& name, QSize size);

} // namespace veldro
