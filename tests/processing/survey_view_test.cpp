#include "data/survey_view.h"
#include "data_set_test.h"

#include <gtest/gtest.h>

using namespace veldro;
using namespace veldro::test;

namespace {

std::vector<int> stations(const std::vector<const MeasurementRecord*>& records) {
    std::vector<int> result;
    for (const MeasurementRecord* r : records) result.push_back(r->station);
    return result;
}

DataSet twoProfiles() {
    DataSet d;
    d.add({.profile = 2, .station = 10});
    d.add({.profile = 1, .station = 5});
    d.add({.profile = 2, .station = 20, .frequencyNumber = 2});
    d.add({.profile = 2, .station = 30, .kept = false});
    d.add({.profile = 3, .station = 0, .kept = false});
    d.add({.profile = 2, .station = 40});
    return d;
}

} // namespace

TEST(SurveyView, KeptRecordsOfOneProfileAndFrequencyInTableOrder) {
    const DataSet d = twoProfiles();
    const SurveyView view(d.store, d.rows);
    EXPECT_EQ(stations(view.keptRecords(2, 1)), (std::vector<int>{10, 40}));
    EXPECT_EQ(stations(view.keptRecords(2, 2)), (std::vector<int>{20}));
    EXPECT_EQ(view.keptProfiles(), (std::vector<int>{1, 2}));
}

// The rows' flags are what the table shows; the records' change only on a save.
TEST(SurveyView, ReadsTheRowsKeptFlagsAndOnlyRowsWithARecord) {
    DataSet d = twoProfiles();
    d.rows.entries[0].kept = false;
    d.rows.entries[3].kept = true;
    d.rows.entries.pop_back();
    const SurveyView view(d.store, d.rows);
    EXPECT_EQ(view.size(), 5);
    EXPECT_EQ(stations(view.keptRecords(2, 1)), (std::vector<int>{30}));
}
