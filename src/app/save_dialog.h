#pragma once

#include <QString>
#include <string_view>

namespace veldro {

class UiServices;
struct Settings;

// The main window's save dialog, which "Save as..." and the exports share. It
// keeps the name it last held in the run: an export proposes that name cut
// before its extension, "Save as..." proposes it whole.
class SaveDialog {
public:
    // What the dialog saves: picks the entry of the filter list that opens
    // selected and the extension a name typed without one gets.
    enum class Use { DataFile, Spreadsheet, Xyz, Wadi };

    static const QString kFilter;

    // The dialog starts in the folder the settings give (dialogFolder).
    explicit SaveDialog(const Settings& settings) : settings_(settings) {}

    // Runs the dialog; the name chosen, empty when cancelled.
    QString run(UiServices& ui, Use use);

    // An export's save: asks for the file and writes `bytes` to it whole,
    // replacing what was there only once all is written. False when cancelled or
    // when the write failed, which is said in a box naming the file and the reason.
    bool saveExport(UiServices& ui, Use use, std::string_view bytes);

    const QString& fileName() const { return fileName_; }

private:
    const Settings& settings_;
    QString fileName_;
};

} // namespace veldro
