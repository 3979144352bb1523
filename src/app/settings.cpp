#include "app/settings.h"

#include "charts/local_file_name.h"
#include "data/rows.h"
#include "export/export_text.h"
#include "link/com_devices.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <cstring>

namespace veldro {

namespace {

constexpr int kColumnBlockBytes = 128 * 4;

// The settings that do not parse keep their defaults and stop the reading.
struct ReadStop {
    QString name;
};

QString invalidValueText(const QString& name) {
    return QStringLiteral("Invalid settings value \"%1\"").arg(name);
}

void readInteger(QSettings& store, const QString& name, int& target) {
    if (!store.contains(name)) return;
    bool ok = false;
    const int value = store.value(name).toInt(&ok);
    if (!ok) throw ReadStop{name};
    target = value;
}

void readInteger(QSettings& store, const QString& name, std::optional<int>& target) {
    if (!store.contains(name)) return;
    int value = 0;
    readInteger(store, name, value);
    target = value;
}

void readText(QSettings& store, const QString& name, QString& target) {
    if (store.contains(name)) target = store.value(name).toString();
}

// A list written by hand or by an older run may be longer, or hold blanks.
void readRecentFiles(QSettings& store, const QString& name, QStringList& target) {
    if (!store.contains(name)) return;
    for (const QString& path : store.value(name).toStringList())
        if (!path.isEmpty() && !target.contains(path) && target.size() < kRecentFileCount)
            target << path;
}

QByteArray columnBlock(const ColumnVisibility& columns) {
    QByteArray block(kColumnBlockBytes, '\0');
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const auto value = static_cast<std::uint32_t>(columns[i]);
        for (std::size_t b = 0; b < 4; ++b)
            block[static_cast<qsizetype>(i * 4 + b)] = static_cast<char>((value >> (8 * b)) & 0xFF);
    }
    return block;
}

ColumnVisibility columnsOf(const QByteArray& block) {
    ColumnVisibility columns{};
    for (std::size_t i = 0; i < columns.size(); ++i) {
        std::uint32_t value = 0;
        for (std::size_t b = 0; b < 4; ++b)
            value |= static_cast<std::uint32_t>(
                         static_cast<unsigned char>(block[static_cast<qsizetype>(i * 4 + b)]))
                     << (8 * b);
        columns[i] = static_cast<std::int32_t>(value);
    }
    return columns;
}

// A shorter block overwrites only the start of the defaults, as it always has.
void readColumns(QSettings& store, const QString& name, ColumnVisibility& target) {
    if (!store.contains(name)) return;
    const QVariant value = store.value(name);
    if (value.typeId() != QMetaType::QByteArray) throw ReadStop{name};
    const QByteArray stored = value.toByteArray();
    if (stored.size() > kColumnBlockBytes) throw ReadStop{name};
    QByteArray block = columnBlock(target);
    block.replace(0, stored.size(), stored);
    target = columnsOf(block);
    // Only 1 shows a column: make the used entries say so plainly, so the table
    // and the column choice never disagree.
    for (int c = 0; c < kColumnCount; ++c)
        target[static_cast<std::size_t>(c)] = target[static_cast<std::size_t>(c)] == 1 ? 1 : 0;
}

} // namespace

ColumnVisibility defaultColumnVisibility() {
    ColumnVisibility columns{};
    std::fill_n(columns.begin(), kColumnCount, 1);
    return columns;
}

std::array<QString, 4> defaultComDevices() {
    std::array<QString, 4> devices;
    const std::array<std::string, 4> paths = ComDevices::systemPaths();
    for (std::size_t i = 0; i < devices.size(); ++i) devices[i] = qtName(paths[i]);
    return devices;
}

void rememberRecentFile(Settings& settings, const QString& path) {
    settings.recentFiles.removeAll(path);
    settings.recentFiles.prepend(path);
    while (settings.recentFiles.size() > kRecentFileCount) settings.recentFiles.removeLast();
}

QString dialogFolder(const Settings& settings) {
#ifdef Q_OS_WIN
    (void)settings;
    return QDir::currentPath();
#else
    if (settings.recentFiles.isEmpty()) return QDir::homePath();
    return QFileInfo(settings.recentFiles.front()).absolutePath();
#endif
}

int knownSeparatorOrSpace(int separatorChar) {
    return static_cast<unsigned char>(separatorFromSetting(separatorChar));
}

int knownPortOrCom1(int portNumber) {
    return portNumber >= 2 && portNumber <= 5 ? portNumber : 1;
}

SettingsRead readSettings(QSettings& store) {
    SettingsRead read;
    Settings& s = read.settings;
    try {
        readInteger(store, "TabSeparateur", s.separatorChar);
        s.separatorChar &= 0xFF;
        readInteger(store, "PortNum", s.portNumber);
        readInteger(store, "Top", s.top);
        readInteger(store, "Left", s.left);
        readInteger(store, "Width", s.width);
        readInteger(store, "Height", s.height);
        readText(store, "LastFile", s.lastFile);
        readColumns(store, "TabColumn", s.columnVisible);
        readText(store, "IXVLF", s.ixvlfPath);
        readText(store, "Orvex", s.orvexPath);
    } catch (const ReadStop& stop) {
        read.error = invalidValueText(stop.name);
    }
    readRecentFiles(store, "RecentFiles", s.recentFiles);
    store.beginGroup(QStringLiteral("Ports"));
    for (std::size_t i = 0; i < s.comDevices.size(); ++i)
        readText(store, QStringLiteral("COM%1").arg(i + 1), s.comDevices[i]);
    store.endGroup();
    return read;
}

QString writeSettings(QSettings& store, const Settings& s) {
    store.setValue("TabSeparateur", s.separatorChar);
    store.setValue("PortNum", s.portNumber);
    store.setValue("Top", s.top.value_or(0));
    store.setValue("Left", s.left.value_or(0));
    store.setValue("Width", s.width.value_or(0));
    store.setValue("Height", s.height.value_or(0));
    store.setValue("LastFile", s.lastFile);
    store.setValue("TabColumn", columnBlock(s.columnVisible));
    store.setValue("IXVLF", s.ixvlfPath);
    store.setValue("Orvex", s.orvexPath);
    store.setValue("RecentFiles", s.recentFiles);
    store.beginGroup(QStringLiteral("Ports"));
    for (std::size_t i = 0; i < s.comDevices.size(); ++i)
        store.setValue(QStringLiteral("COM%1").arg(i + 1), s.comDevices[i]);
    store.endGroup();
    store.sync();
    if (store.status() == QSettings::NoError) return {};
    return QStringLiteral("Unable to write the settings\n") + store.fileName();
}

} // namespace veldro
