#include "processing/frequency_rejection.h"

#include "data/measurement_store.h"
#include "data/rows.h"

#include <algorithm>

namespace veldro {

int rejectFrequency(MeasurementStore& store, RowList& rows, float frequency) {
    copyRowFlagsToStore(rows, store);
    constexpr double tolerance = 0.001;
    const long double low = static_cast<long double>(frequency) - tolerance;
    const long double high = static_cast<long double>(frequency) + tolerance;
    int ignored = 0;
    const int n = std::min(rows.size(), store.count());
    for (int i = 0; i < n; ++i) {
        const long double f = store.record(i).frequency;
        if (low <= f && f <= high) {
            if (store.record(i).kept()) ++ignored;
            store.setKept(i, false);
        }
    }
    rows = buildRowList(store);
    return ignored;
}

} // namespace veldro
