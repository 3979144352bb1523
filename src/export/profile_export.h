#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veldro {

class MeasurementStore;
struct RowList;

// The missing-position marker: never shown, written as it stands.
inline constexpr const char* kMissingPosition = "-999999";

// One entry of the export dialog's profile list: a run of kept tilt-mode rows
// of one profile with at most one frequency per frequency number.
struct TProfileItem {
    bool selected = false;
    std::int16_t profileNumber = 0;
    std::int16_t frequency1Hz = -1; // -1: no frequency-#1 row
    std::int16_t frequency2Hz = -1;
    std::int16_t stationMin = 0;
    std::int16_t stationMax = 0;
    std::int16_t rowCount1 = 0;
    std::int16_t rowCount2 = 0;
    int firstRowIndex = 0;
    int lastRowIndex = 0;
    std::string positionText = kMissingPosition;
};

// The items in table order: a new one starts at a profile change or when the
// frequency of a frequency number changes; ignored and resistivity-mode rows
// neither join nor split an item.
std::vector<TProfileItem> buildProfileItems(const MeasurementStore& store, const RowList& rows);

// The list's column texts.
std::string stationsText(const TProfileItem& item);    // "10 to 550", or "10"
std::string frequenciesText(const TProfileItem& item); // "16000  ;  19600", " " for none
std::string positionColumnText(const TProfileItem& item);

// The distinct frequencies every selected item has, for the frequency choice:
// none, one (chosen at once) or two (the user picks).
std::vector<int> commonFrequencies(const std::vector<TProfileItem>& items);

inline constexpr const char* kExportNotPossible = "Export is not possible :";
inline constexpr const char* kNoCommonFrequency = "No common frequency among selected profiles";

enum class ProfileExportFormat { Xyz, Wadi };
// The dialog's caption and the message after a written file.
std::string exportDialogCaption(ProfileExportFormat format);
std::string exportSucceededText(ProfileExportFormat format);

// Writes the selected items' kept tilt-mode rows at `frequency` (Hz) into the
// store's exportBuffer (emptied first), as an XYZ or a WADI file. A WADI item's
// row count is the number of its rows written.
void writeProfileExport(MeasurementStore& store, const RowList& rows,
                        const std::vector<TProfileItem>& items, int frequency,
                        ProfileExportFormat format);

} // namespace veldro
