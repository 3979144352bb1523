#pragma once

#include "widgets/settings_store.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QSettings;

namespace veldro {

// columnVisible: 128 entries kept as one 512-byte block, the first 21 used.
using ColumnVisibility = std::array<std::int32_t, 128>;
ColumnVisibility defaultColumnVisibility();
// The system's own names of COM 1 to COM 4 (/dev/ttyS0 to /dev/ttyS3 on Linux).
std::array<QString, 4> defaultComDevices();

// The program's remembered values, read once at start and written once at close.
struct Settings {
    int separatorChar = ' ';
    int portNumber = 1;
    // The window's place; without "Top" it is centred.
    std::optional<int> top, left, width, height;
    QString lastFile;
    // The files last opened, imported or saved, the latest first.
    QStringList recentFiles;
    ColumnVisibility columnVisible = defaultColumnVisibility();
    QString ixvlfPath;
    QString orvexPath;
    // The serial device of COM 1 to COM 4.
    std::array<QString, 4> comDevices = defaultComDevices();
};

// Puts `path` first among the recent files, once, keeping the latest few.
constexpr int kRecentFileCount = 5;
void rememberRecentFile(Settings& settings, const QString& path);

// Where the open, save and folder dialogs start. On Windows the process's
// current directory; elsewhere the folder of the last file opened or saved,
// else the home folder: a program started from the desktop's menu runs in a
// folder that is no place for the user's files.
QString dialogFolder(const Settings& settings);

// The separator and link choices the menus can show; anything else falls back.
int knownSeparatorOrSpace(int separatorChar);
int knownPortOrCom1(int portNumber);

struct SettingsRead {
    Settings settings;
    QString error; // not empty: the value that stopped the reading; the rest keep defaults
};

SettingsRead readSettings(QSettings& store);
// Returns the error text, empty when written.
QString writeSettings(QSettings& store, const Settings& settings);

} // namespace veldro
