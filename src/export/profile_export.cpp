#include "export/profile_export.h"

#include "data/measurement_store.h"
#include "data/number_text.h"
#include "data/rows.h"

#include <algorithm>

namespace veldro {

namespace {

std::int16_t asField(int value) {
    return static_cast<std::int16_t>(value);
}

// "%7d.0": the XYZ and WADI number of a 16-bit field.
void appendField(std::string& out, int value) {
    appendInteger(out, value, 7);
    out += ".0";
}

bool exported(const MeasurementStore& store, const RowList& rows, int row, int frequency) {
    const MeasurementRecord& r = store.record(row);
    return rows.kept(row) && r.tiltMode() && r.frequency == frequency;
}

// Appends the item's exported rows; returns how many.
int appendRows(std::string& out, const MeasurementStore& store, const RowList& rows,
               const TProfileItem& item, int frequency, ProfileExportFormat format) {
    int written = 0;
    const int last = std::min({item.lastRowIndex, rows.size() - 1, store.count() - 1});
    for (int row = item.firstRowIndex; row <= last; ++row) {
        if (!exported(store, rows, row, frequency)) continue;
        const MeasurementRecord& r = store.record(row);
        if (format == ProfileExportFormat::Wadi)
            appendInteger(out, r.station, 3);
        else
            appendField(out, r.station);
        out += ' ';
        appendField(out, r.tiltVertical);
        out += ' ';
        appendField(out, r.ellipticityVertical);
        out += "\r\n";
        ++written;
    }
    return written;
}

} // namespace

std::vector<TProfileItem> buildProfileItems(const MeasurementStore& store, const RowList& rows) {
    std::vector<TProfileItem> items;
    int previousProfile = -1, previousF1 = -1, previousF2 = -1;
    const int n = std::min(rows.size(), store.count());
    for (int row = 0; row < n; ++row) {
        const MeasurementRecord& r = store.record(row);
        if (!rows.kept(row) || r.resistivityMode()) continue;
        const bool isF1 = r.frequencyNumber() == 1;
        const int f1 = isF1 ? r.frequency : -1;
        const int f2 = isF1 ? -1 : r.frequency;
        const bool starts = items.empty() || r.profile != previousProfile ||
                            (isF1 && f1 != previousF1 && previousF1 != -1) ||
                            (!isF1 && f2 != previousF2 && previousF2 != -1);
        if (starts) {
            previousProfile = r.profile;
            previousF1 = f1;
            previousF2 = f2;
            TProfileItem item;
            item.profileNumber = r.profile;
            item.frequency1Hz = asField(f1);
            item.frequency2Hz = asField(f2);
            item.stationMin = item.stationMax = r.station;
            item.rowCount1 = isF1 ? 1 : 0;
            item.rowCount2 = isF1 ? 0 : 1;
            item.firstRowIndex = item.lastRowIndex = row;
            items.push_back(std::move(item));
            continue;
        }
        TProfileItem& item = items.back();
        if (isF1) {
            item.frequency1Hz = asField(f1);
            previousF1 = f1;
            ++item.rowCount1;
        } else {
            item.frequency2Hz = asField(f2);
            previousF2 = f2;
            ++item.rowCount2;
        }
        item.stationMin = std::min(item.stationMin, r.station);
        item.stationMax = std::max(item.stationMax, r.station);
        item.lastRowIndex = row;
    }
    return items;
}

std::string stationsText(const TProfileItem& item) {
    std::string text = std::to_string(item.stationMin);
    if (item.stationMin != item.stationMax) text += " to " + std::to_string(item.stationMax);
    return text;
}

std::string frequenciesText(const TProfileItem& item) {
    if (item.frequency1Hz == -1 && item.frequency2Hz == -1) return " ";
    if (item.frequency2Hz == -1) return std::to_string(item.frequency1Hz);
    if (item.frequency1Hz == -1) return std::to_string(item.frequency2Hz);
    return std::to_string(item.frequency1Hz) + "  ;  " + std::to_string(item.frequency2Hz);
}

std::string positionColumnText(const TProfileItem& item) {
    return item.positionText == kMissingPosition ? std::string() : item.positionText;
}

std::vector<int> commonFrequencies(const std::vector<TProfileItem>& items) {
    int c1 = -1, c2 = -1;
    bool first = true;
    for (const TProfileItem& item : items) {
        if (!item.selected) continue;
        if (first) {
            c1 = item.frequency1Hz;
            c2 = item.frequency2Hz;
            first = false;
            continue;
        }
        const bool m1 = c1 == item.frequency1Hz || c1 == item.frequency2Hz;
        const bool m2 = c2 == item.frequency1Hz || c2 == item.frequency2Hz;
        if (!m1) c1 = -1;
        if (!m2) c2 = -1;
        if (!m1 && !m2) break;
    }
    std::vector<int> choices;
    if (c1 != -1) choices.push_back(c1);
    // Both frequency numbers at one frequency offer it once.
    if (c2 != -1 && c2 != c1) choices.push_back(c2);
    return choices;
}

std::string exportDialogCaption(ProfileExportFormat format) {
    return format == ProfileExportFormat::Xyz ? "Export to XYZ data file"
                                              : "Export to WADI data file";
}

std::string exportSucceededText(ProfileExportFormat format) {
    return format == ProfileExportFormat::Xyz ? "Export succeeded."
                                              : "Export succeeded.\n\nValues exported as tilt and "
                                                "ellipticity,\nNOT as in-phase and "
                                                "quadrature";
}

void writeProfileExport(MeasurementStore& store, const RowList& rows,
                        const std::vector<TProfileItem>& items, int frequency,
                        ProfileExportFormat format) {
    std::string& out = store.exportBuffer;
    out.clear();
    if (format == ProfileExportFormat::Wadi) out += "Veldro file export\r\n";
    for (const TProfileItem& item : items) {
        if (!item.selected) continue;
        if (format == ProfileExportFormat::Xyz) {
            ((out += "LINE") += item.positionText) += "\r\n";
            appendRows(out, store, rows, item, frequency, format);
            continue;
        }
        // The count is of the rows that follow, which with both frequency
        // numbers at the export frequency are those of both.
        std::string itemRows;
        const int count = appendRows(itemRows, store, rows, item, frequency, format);
        (out += item.positionText) += "\r\n";
        appendFixedPoint(out, frequency * 0.001, 4, 1);
        out += "\r\n";
        appendInteger(out, count, 3);
        (out += "\r\n") += itemRows;
    }
}

} // namespace veldro
