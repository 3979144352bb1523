#pragma once

#include <vector>

namespace veldro {

class MeasurementStore;
class StationPositions;
struct MeasurementRecord;
struct RowList;

// The data set as processing and interpretation read it: record i with the
// kept flag of table row i, in table order, and the positions of its stations
// when it has some. It changes nothing; the store, the row list and the
// positions it looks at outlive it.
class SurveyView {
public:
    SurveyView(const MeasurementStore& store, const RowList& rows,
               const StationPositions* positions = nullptr);

    int size() const { return size_; }
    const MeasurementRecord& record(int row) const;
    bool kept(int row) const;

    // The kept records of one profile and frequency number (1 or 2), in table order.
    std::vector<const MeasurementRecord*> keptRecords(int profile, int frequencyNumber) const;
    // The profiles with at least one kept record, ascending.
    std::vector<int> keptProfiles() const;
    // The stations' positions; empty when the data set has none.
    const StationPositions& positions() const;

private:
    const MeasurementStore& store_;
    const RowList& rows_;
    const StationPositions* positions_;
    int size_;
};

} // namespace veldro
