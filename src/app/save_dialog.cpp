#include "app/save_dialog.h"

#include "app/settings.h"
#include "charts/local_file_name.h"
#include "data/file_io.h"
#include "data/file_names.h"
#include "widgets/ui_services.h"

#include <QDir>
#include <QFile>
#include <array>

namespace veldro {

namespace {

// By use: the filter entry is the use's place in the list, 1-based.
constexpr std::array<const char*, 4> kSuffixes{"vlf", "txt", "xyz", "wad"};

} // namespace

const QString SaveDialog::kFilter = QStringLiteral(
    "Veldro data file  (*.vlf)|*.vlf|Spreadsheet (*.txt)|*.txt|XYZ data file (*.xyz)|*.xyz|"
    "WAD data file (*.wad)|*.wad|All (*.*)|*.*");

// The name proposed stays the dialog's name after a cancel, as the next export
// finds it.
QString SaveDialog::run(UiServices& ui, Use use) {
    if (use != Use::DataFile) fileName_ = qtName(withoutExtension(localName(fileName_)));
    const auto entry = static_cast<std::size_t>(use);
    const QString chosen =
        ui.saveFileName({dialogFolder(settings_), fileName_, kFilter, static_cast<int>(entry) + 1,
                         QString::fromLatin1(kSuffixes[entry])});
    if (!chosen.isEmpty()) fileName_ = chosen;
    return chosen;
}

bool SaveDialog::saveExport(UiServices& ui, Use use, std::string_view bytes) {
    const QString chosen = run(ui, use);
    if (chosen.isEmpty()) return false;
    try {
        writeFileAtomically(localName(chosen), bytes);
    } catch (const FileError& error) {
        ui.tell({error.what(), "", MessageIcon::Error});
        return false;
    }
    return true;
}

} // namespace veldro
