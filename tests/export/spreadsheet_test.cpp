#include "data/number_text.h"
#include "export/fraser_spreadsheet.h"
#include "export/karous_hjelt_spreadsheet.h"
#include "export/raw_spreadsheet.h"
#include "export_data_test.h"
#include "processing/karous_hjelt.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace veldro;
using namespace veldro::test;

namespace {

VisibleColumns only(std::initializer_list<int> columns) {
    VisibleColumns visible{};
    for (int c : columns) visible[static_cast<std::size_t>(c)] = true;
    return visible;
}

std::string fraserText(const DataSet& source, char separator) {
    DataSet d = source;
    writeFraserSpreadsheet(d.store, d.rows, separator);
    return d.store.exportBuffer;
}

} // namespace

TEST(SeparatorSetting, StoredCodesMapToTheFourCharacters) {
    EXPECT_EQ(separatorFromSetting(9), '\t');
    EXPECT_EQ(separatorFromSetting(44), ',');
    EXPECT_EQ(separatorFromSetting(59), ';');
    EXPECT_EQ(separatorFromSetting(32), ' ');
    EXPECT_EQ(separatorFromSetting(65), ' ');
    EXPECT_EQ(separatorFromSetting(256 + 59), ';'); // only the low byte counts
    EXPECT_EQ(separatorNamed("tab"), '\t');
    EXPECT_EQ(separatorNamed("semicolon"), ';');
    EXPECT_FALSE(separatorNamed("pipe"));
}

TEST(RawSpreadsheet, AllColumnsWithCommasAndEmptyFieldsOfTheOtherMode) {
    DataSet d = exportSurvey();
    writeRawSpreadsheet(d.store, d.rows, ',', kAllColumns);
    EXPECT_EQ(d.store.exportBuffer, goldenText("export_raw_all_columns_comma.txt"));
}

TEST(RawSpreadsheet, TwoVisibleColumnsWithSemicolons) {
    DataSet d = exportSurvey();
    writeRawSpreadsheet(d.store, d.rows, ';', only({ColTiltVertical, ColResistivity}));
    EXPECT_EQ(d.store.exportBuffer, goldenText("export_raw_two_columns_semicolon.txt"));
}

TEST(RawSpreadsheet, EmptyFirstFieldStillSeparatesTheNext) {
    DataSet d{exportSurvey().store.record(0)};
    writeRawSpreadsheet(d.store, d.rows, ';', only({ColQuality, ColResistivity}));
    EXPECT_EQ(d.store.exportBuffer, "Q (%);Rho (ohm.m)\r\n97;\r\n");
    d = DataSet{exportSurvey().store.record(2)};
    writeRawSpreadsheet(d.store, d.rows, ';', only({ColTiltVertical, ColPhase}));
    EXPECT_EQ(d.store.exportBuffer, "Tilt.ver(%);Ph.E/H (\xB0)\r\n;45\r\n");
}

TEST(RawSpreadsheet, NoVisibleQuantityGivesEmptyLines) {
    DataSet d = exportSurvey();
    writeRawSpreadsheet(d.store, d.rows, ',', VisibleColumns{});
    EXPECT_EQ(d.store.exportBuffer, "\r\n\r\n\r\n");
}

TEST(RawSpreadsheet, NoKeptRowGivesTheHeaderOnly) {
    DataSet d{exportSurvey().store.record(0)};
    d.rows.entries[0].kept = false; // the rows say what is exported
    writeRawSpreadsheet(d.store, d.rows, '\t', only({ColProfile, ColStation}));
    EXPECT_EQ(d.store.exportBuffer, "Profile\tStation\r\n");
}

TEST(RawSpreadsheet, ReplacesTheLastExport) {
    DataSet d{exportSurvey().store.record(0)};
    d.store.exportBuffer = "old text";
    writeRawSpreadsheet(d.store, d.rows, ' ', only({ColCh1Gain}));
    EXPECT_EQ(d.store.exportBuffer, "Ch1 Gain\r\n16\r\n");
}

TEST(FraserSpreadsheet, WorkedExampleWithSemicolons) {
    DataSet d;
    const int tilts[] = {10, 5, -3, -8, -2};
    for (int s = 0; s < 5; ++s)
        d.add({.profile = 7, .station = 25 * s, .tilt = tilts[s], .frequency = 19800});
    EXPECT_EQ(fraserText(d, ';'), goldenText("export_fraser_worked_example.txt"));
}

TEST(FraserSpreadsheet, PositionOfStations10To55RoundsAwayFromZero) {
    DataSet d;
    const int tilts[] = {4, 3, 2, 1};
    for (int s = 0; s < 4; ++s)
        d.add({.profile = 3, .station = 10 + 15 * s, .tilt = tilts[s], .frequency = 16000});
    EXPECT_EQ(fraserText(d, '\t'), goldenText("export_fraser_four_stations_tab.txt"));
}

TEST(FraserSpreadsheet, NegativeHalfPositionRoundsDown) {
    DataSet d;
    for (int station : {-10, -5, 0, 5}) d.add({.station = station});
    EXPECT_EQ(fraserText(d, ','), "Profile,Station,Freq(Hz),Fraser\r\n1,-3,16000,0\r\n");
}

// Interleaved frequency numbers, an ignored row of another profile inside
// profile 5, a profile change on frequency #1 only, and the flush of
// frequency #1 before that of frequency #2.
TEST(FraserSpreadsheet, InterleavedRunsInEmissionOrder) {
    DataSet d;
    const int tilts1[] = {10, 5, -3, -8};
    const int tilts2[] = {2, 4, 6, 8};
    for (int s = 0; s < 4; ++s) {
        d.add({.profile = 5, .station = 10 * s, .tilt = tilts1[s], .frequencyNumber = 1});
        d.add({.profile = 5,
               .station = 10 * s,
               .tilt = tilts2[s],
               .frequencyNumber = 2,
               .frequency = 19600});
        if (s == 2) d.add({.profile = 9, .station = 99, .tilt = 100, .kept = false});
    }
    d.add({.profile = 5, .station = 40, .tilt = -2});
    const int tilts6[] = {1, 2, 3, 5};
    for (int s = 0; s < 4; ++s)
        d.add({.profile = 6, .station = 10 * s, .tilt = tilts6[s], .frequency = 18300});
    d.add({.profile = 5, .station = 40, .tilt = 10, .frequencyNumber = 2, .frequency = 19600});
    EXPECT_EQ(fraserText(d, ','), goldenText("export_fraser_interleaved.txt"));
}

TEST(FraserSpreadsheet, FewerThanFourStationGroupsGiveTheHeaderOnly) {
    DataSet d;
    for (int s = 0; s < 3; ++s) d.add({.station = s});
    EXPECT_EQ(fraserText(d, ' '), "Profile Station Freq(Hz) Fraser\r\n");
}

TEST(KarousHjeltSpreadsheet, RunsInCurveOrderWithTheDecimalSeparator) {
    DataSet d = khSurvey();
    setDecimalSeparator(',');
    writeKarousHjeltSpreadsheet(d.store, d.rows, ';', kDefaultKhLevels);
    setDecimalSeparator('.');
    EXPECT_EQ(d.store.exportBuffer, goldenText("export_kh_three_runs.txt"));
}
