#pragma once

#include <vector>

namespace veldro {

class MeasurementStore;
struct MeasurementRecord;
struct RowList;

// The data set as processing and interpretation read it: record i with the
// kept flag of table row i, in table order. It changes nothing; the store and
// the row list it looks at outlive it.
class SurveyView {
public:
    SurveyView(const MeasurementStore& store, const RowList& rows);

    int size() const { return size_; }
    const MeasurementRecord& record(int row) const;
    bool kept(int row) const;

    // The kept records of one profile and frequency number (1 or 2), in table order.
    std::vector<const MeasurementRecord*> keptRecords(int profile, int frequencyNumber) const;
    // The profiles with at least one kept record, ascending.
    std::vector<int> keptProfiles() const;

private:
    const MeasurementStore& store_;
    const RowList& rows_;
    int size_;
};

} // namespace veldro
