#pragma once

// Small hand-made data sets for the processing and export tests.
#include "data/measurement_store.h"
#include "data/rows.h"

#include <initializer_list>

namespace veldro::test {

struct TiltReading {
    int profile = 1;
    int station = 0;
    int tilt = 0;
    int ellipticity = 0;
    int frequencyNumber = 1;
    int frequency = 16000;
    bool kept = true;
};

inline MeasurementRecord tiltRecord(const TiltReading& r) {
    MeasurementRecord m;
    m.profile = static_cast<std::int16_t>(r.profile);
    m.station = static_cast<std::int16_t>(r.station);
    m.tiltVertical = static_cast<std::int16_t>(r.tilt);
    m.ellipticityVertical = static_cast<std::int16_t>(r.ellipticity);
    m.frequency = static_cast<std::int16_t>(r.frequency);
    m.status = makeStatus(0, false, 0, false, 0, false, r.frequencyNumber, false);
    m.ignored = r.kept ? 0 : 1;
    return m;
}

inline MeasurementRecord resistivityRecord(int profile, int station, bool kept = true,
                                           int frequencyNumber = 1, int frequency = 16000) {
    MeasurementRecord m;
    m.profile = static_cast<std::int16_t>(profile);
    m.station = static_cast<std::int16_t>(station);
    m.frequency = static_cast<std::int16_t>(frequency);
    m.status = makeStatus(0, false, 0, false, 0, false, frequencyNumber, true);
    m.ignored = kept ? 0 : 1;
    return m;
}

// A store and the rows a rebuild makes of it.
struct DataSet {
    MeasurementStore store{0};
    RowList rows;

    DataSet() = default;
    explicit DataSet(std::initializer_list<MeasurementRecord> records) {
        for (const MeasurementRecord& r : records) add(r);
    }
    DataSet& add(const MeasurementRecord& r) {
        store.append(r);
        rows = buildRowList(store);
        return *this;
    }
    DataSet& addTilt(const TiltReading& r) { return add(tiltRecord(r)); }
    bool recordKept(int i) const { return store.record(i).kept(); }
};

} // namespace veldro::test
