#include "data_set_test.h"
#include "processing/frequency_rejection.h"
#include "processing/number_entry.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace veldro;
using namespace veldro::test;

namespace {

DataSet frequencies() {
    return DataSet{record({.frequencyNumber = 1, .frequency = 16000}),
                   record({.frequencyNumber = 2, .frequency = 16000}),
                   record({.profile = 1,
                           .station = 1,
                           .frequencyNumber = 1,
                           .frequency = 16000,
                           .kept = true,
                           .resistivity = true}),
                   record({.frequency = 19600}), record({.frequency = 16001})};
}

} // namespace

TEST(FrequencyRejection, IgnoresTheFrequencyInEveryModeAndNumberOnly) {
    DataSet d = frequencies();
    EXPECT_EQ(rejectFrequency(d.store, d.rows, 16000.0f), 3);
    EXPECT_FALSE(d.rows.kept(0));
    EXPECT_FALSE(d.rows.kept(1));
    EXPECT_FALSE(d.rows.kept(2));
    EXPECT_TRUE(d.rows.kept(3));
    EXPECT_TRUE(d.rows.kept(4));
    EXPECT_FALSE(d.recordKept(0));
}

TEST(FrequencyRejection, ToleranceOfOneThousandthHertz) {
    DataSet d = frequencies();
    EXPECT_EQ(rejectFrequency(d.store, d.rows, 16000.5f), 0);
    EXPECT_EQ(rejectFrequency(d.store, d.rows, 16000.0005f), 3);
}

TEST(FrequencyRejection, IgnoredRowsStayIgnored) {
    DataSet d{record({.frequency = 19600, .kept = false})};
    EXPECT_EQ(rejectFrequency(d.store, d.rows, 16000.0f), 0);
    EXPECT_FALSE(d.rows.kept(0));
}

TEST(FrequencyRejection, KeepsRowsToggledByHandSinceTheLastCopy) {
    DataSet d{record({.frequency = 19600}), record({.frequency = 19600, .kept = false})};
    d.rows.entries[0].kept = false; // single-click toggles: rows only
    d.rows.entries[1].kept = true;
    rejectFrequency(d.store, d.rows, 16000.0f);
    EXPECT_FALSE(d.rows.kept(0));
    EXPECT_TRUE(d.rows.kept(1));
    EXPECT_FALSE(d.recordKept(0));
}

TEST(FrequencyEntry, InvalidTextSaysSo) {
    RecordingMessages messages;
    float f = 0;
    EXPECT_FALSE(readEnteredNumber("16 kHz", f, messages));
    EXPECT_FALSE(readEnteredNumber("1e40", f, messages));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "Please enter valid numeric value ");
    EXPECT_TRUE(readEnteredNumber(" 16000.0005 ", f, messages));
    EXPECT_EQ(f, 16000.0005f);
}
