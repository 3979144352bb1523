#include "app/commands/tools_commands.h"

#include "app/settings.h"
#include "app/status_line.h"
#include "widgets/ui_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace veldro {

namespace {

#ifdef Q_OS_WIN
constexpr bool kWindowsHost = true;
#else
constexpr bool kWindowsHost = false;
#endif

// The file of that name in `folder`, whatever the case of its letters
// (IXVLF.exe or ixvlf.exe); empty when there is none.
QString programIn(const QString& folder, const QString& name) {
    const QDir dir(folder);
    const QStringList found =
        dir.entryList({name}, QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
    if (found.isEmpty()) return {};
    return dir.filePath(found.contains(name) ? name : found.constFirst());
}

} // namespace

ToolsCommands::ToolsCommands(CommandContext& context) : CommandGroup(context) {
    context_.commands.add(context_.action("RunIXVLF1"), Enabling::Idle,
                          [this] { RunIXVLF1Click(); });
    context_.commands.add(context_.action("RunOrvex1"), Enabling::Idle,
                          [this] { RunOrvex1Click(); });
}

void ToolsCommands::RunIXVLF1Click() {
    runProgram(context_.settings.ixvlfPath, QStringLiteral("IXVLF.exe"));
}

void ToolsCommands::RunOrvex1Click() {
    runProgram(context_.settings.orvexPath, QStringLiteral("Orvex.exe"));
}

// Without a folder the program is looked for at the root of the drive.
void ToolsCommands::runProgram(QString& folder, const QString& executable) {
    if (folder.isEmpty()) {
        const QString chosen = context_.ui.directoryName(QCoreApplication::applicationDirPath());
        if (!chosen.isEmpty()) folder = QDir::cleanPath(chosen);
    }
    const QString where = folder.isEmpty() ? QDir::rootPath() : folder;
    const QString program = programIn(where, executable);
    if (program.isEmpty()) {
        folder.clear();
        context_.status.showNote(
            QStringLiteral("%1 not found in %2").arg(executable, QDir::toNativeSeparators(where)));
        return;
    }
    // These are Windows programs: elsewhere wine starts them, when it is on the PATH.
    const QString wine =
        kWindowsHost ? QString() : QStandardPaths::findExecutable(QStringLiteral("wine"));
    const QString programFolder = QFileInfo(program).absolutePath();
    const bool started = wine.isEmpty() ? context_.ui.startDetached(program, {}, programFolder)
                                        : context_.ui.startDetached(wine, {program}, programFolder);
    if (started) return;
    folder.clear();
    context_.status.showNote(!kWindowsHost && wine.isEmpty()
                                 ? QStringLiteral("wine is needed to run %1").arg(executable)
                                 : QStringLiteral("%1 could not be started").arg(executable));
}

} // namespace veldro
