// The settings file read at start: an INI file of any bytes through QSettings.
// What it reads is usable as it stands, and written then read back it gives
// the same settings.
#include "app/settings.h"
#include "data/quantities.h"
#include "fuzz_support.h"

#include <QSettings>
#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

using namespace veldro;
using veldro::fuzz::require;

namespace {

bool sameSettings(const Settings& a, const Settings& b) {
    // A place never set is written as 0.
    const auto place = [](const std::optional<int>& value) { return value.value_or(0); };
    return a.separatorChar == b.separatorChar && a.portNumber == b.portNumber &&
           place(a.top) == place(b.top) && place(a.left) == place(b.left) &&
           place(a.width) == place(b.width) && place(a.height) == place(b.height) &&
           a.lastFile == b.lastFile && a.recentFiles == b.recentFiles &&
           a.columnVisible == b.columnVisible && a.ixvlfPath == b.ixvlfPath &&
           a.orvexPath == b.orvexPath && a.comDevices == b.comDevices;
}

// QSettings writes UTF-8, which cannot hold a lone surrogate (a file may
// spell one "\xd800"; no file name holds one): such texts are not written back.
bool validUtf16(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return false;
    }
    return true;
}

bool validUtf16(const Settings& settings) {
    QStringList texts = settings.recentFiles;
    texts << settings.lastFile << settings.ixvlfPath << settings.orvexPath;
    for (const QString& device : settings.comDevices) texts << device;
    return std::all_of(texts.begin(), texts.end(), [](const QString& t) { return validUtf16(t); });
}

// QSettings keeps what it read of a file while the file's size and time stay
// the same: each file gets a time of its own, so that every one is read.
void newTime(const std::string& path) {
    static std::time_t tick = 0;
    const timespec times[2] = {{++tick, 0}, {tick, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file =
        veldro::fuzz::scratchFile(veldro::fuzz::textOf(data, size), "-read.ini");
    newTime(file);
    SettingsRead read;
    {
        QSettings stored(QString::fromStdString(file), QSettings::IniFormat);
        read = readSettings(stored);
    }
    const Settings& settings = read.settings;
    require(settings.separatorChar >= 0 && settings.separatorChar <= 0xFF,
            "the separator is one byte");
    const int separator = knownSeparatorOrSpace(settings.separatorChar);
    require(separator == ',' || separator == ';' || separator == ' ' || separator == '\t',
            "the separator in use is one the menu offers");
    const int port = knownPortOrCom1(settings.portNumber);
    require(port >= 1 && port <= 5, "the link in use is one the menu offers");
    QStringList recent = settings.recentFiles;
    require(recent.size() <= kRecentFileCount && recent.removeDuplicates() == 0 &&
                !recent.contains(QString()),
            "the recent files are a few distinct names");
    for (std::size_t c = 0; c < kColumnCount; ++c)
        require(settings.columnVisible[c] == 0 || settings.columnVisible[c] == 1,
                "a column is shown or not");

    // Writing costs five readings: one input in eight, by its length, also
    // checks the writer, so that the reader runs at full speed.
    if (size % 8 != 0 || !validUtf16(settings)) return 0;
    const std::string written = veldro::fuzz::scratchFile({}, "-written.ini");
    {
        QSettings out(QString::fromStdString(written), QSettings::IniFormat);
        require(writeSettings(out, settings).isEmpty(), "the settings are written");
    }
    newTime(written);
    QSettings back(QString::fromStdString(written), QSettings::IniFormat);
    const SettingsRead again = readSettings(back);
    require(again.error.isEmpty(), "written settings read without error");
    require(sameSettings(again.settings, settings), "written settings read back the same");
    return 0;
}
