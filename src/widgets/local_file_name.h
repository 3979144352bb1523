#pragma once

#include <QFile>
#include <QString>
#include <string>

namespace veldro {

// A file name as the core and the system take it (the local 8-bit encoding),
// and back.
inline std::string localName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

inline QString qtName(const std::string& name) {
    return QFile::decodeName(name.c_str());
}

} // namespace veldro
