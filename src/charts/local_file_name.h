#pragma once

#include <QString>
#include <string>

namespace veldro {

// A file name as the core takes it, and back: UTF-8, which the core hands to
// the system as it is on Linux and as UTF-16 on Windows. (QFile::encodeName
// would give Windows' ANSI code page, which loses what it cannot spell.) In
// the lowest folder with Qt, so that pictures, windows and veldro-cli all
// name files alike.
inline std::string localName(const QString& name) {
    return name.toUtf8().toStdString();
}

inline QString qtName(const std::string& name) {
    return QString::fromUtf8(name);
}

} // namespace veldro
