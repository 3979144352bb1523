#include "export/position_text.h"
#include "export/profile_export.h"
#include "export_data_test.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace veldro;
using namespace veldro::test;

namespace {

std::vector<TProfileItem> picked(const DataSet& d, std::initializer_list<std::size_t> which) {
    std::vector<TProfileItem> items = buildProfileItems(d.store, d.rows);
    for (std::size_t i : which) items.at(i).selected = true;
    return items;
}

std::vector<TProfileItem> withFrequencies(std::initializer_list<std::pair<int, int>> frequencies) {
    std::vector<TProfileItem> items;
    for (auto [f1, f2] : frequencies) {
        TProfileItem item;
        item.selected = true;
        item.frequency1Hz = static_cast<std::int16_t>(f1);
        item.frequency2Hz = static_cast<std::int16_t>(f2);
        items.push_back(item);
    }
    return items;
}

} // namespace

TEST(ProfileItems, ARunOfKeptTiltRowsWithBothFrequencyNumbersIsOneItem) {
    DataSet d = twoProfiles();
    const auto items = buildProfileItems(d.store, d.rows);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].profileNumber, 1);
    EXPECT_EQ(frequenciesText(items[0]), "16000  ;  19600");
    EXPECT_EQ(stationsText(items[0]), "25 to 50");
    EXPECT_EQ(items[0].rowCount1, 2);
    EXPECT_EQ(items[0].rowCount2, 2);
    EXPECT_EQ(items[0].firstRowIndex, 0);
    EXPECT_EQ(items[0].lastRowIndex, 5);
    EXPECT_EQ(items[0].positionText, "-999999");
    EXPECT_EQ(positionColumnText(items[0]), "");
    EXPECT_EQ(frequenciesText(items[1]), "19600");
    EXPECT_EQ(items[1].frequency1Hz, -1);
}

TEST(ProfileItems, AFrequencyChangeOfOneNumberStartsANewItem) {
    DataSet d;
    d.add({.station = 1, .frequency = 16000});
    d.add({.station = 2, .frequency = 16000});
    d.add({.station = 1, .frequency = 18300});
    const auto items = buildProfileItems(d.store, d.rows);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(stationsText(items[1]), "1");
    EXPECT_EQ(items[1].frequency1Hz, 18300);
}

TEST(ProfileItems, AProfileChangeStartsANewItemAndTheSameProfileLaterAnother) {
    DataSet d;
    d.add({.profile = 1});
    d.add({.profile = 2});
    d.add({.profile = 1});
    EXPECT_EQ(buildProfileItems(d.store, d.rows).size(), 3u);
}

TEST(ProfileItems, NoKeptTiltRowGivesNoItem) {
    DataSet d{record({.profile = 1, .station = 1, .resistivity = true}), record({.kept = false})};
    EXPECT_TRUE(buildProfileItems(d.store, d.rows).empty());
}

TEST(CommonFrequency, OnlyTheSharedFrequencyIsOffered) {
    EXPECT_EQ(commonFrequencies(withFrequencies({{16000, 19600}, {-1, 19600}})),
              std::vector<int>{19600});
    EXPECT_EQ(commonFrequencies(withFrequencies({{16000, 19600}})),
              (std::vector<int>{16000, 19600}));
    EXPECT_TRUE(commonFrequencies(withFrequencies({{16000, -1}, {18300, -1}})).empty());
    EXPECT_TRUE(commonFrequencies({}).empty());
}

TEST(CommonFrequency, UnselectedItemsDoNotCount) {
    auto items = withFrequencies({{16000, -1}, {18300, -1}});
    items[1].selected = false;
    EXPECT_EQ(commonFrequencies(items), std::vector<int>{16000});
}

TEST(ProfileExport, XyzLinesOfTwoProfiles) {
    DataSet d = twoProfiles();
    auto items = picked(d, {0, 1});
    RecordingMessages messages;
    items[0].positionText = *xyzPositionText("100", messages);
    ASSERT_EQ(commonFrequencies(items), std::vector<int>{19600});
    writeProfileExport(d.store, d.rows, items, 19600, ProfileExportFormat::Xyz);
    EXPECT_EQ(d.store.exportBuffer, goldenText("export_xyz_two_profiles.txt"));
}

TEST(ProfileExport, XyzAtFrequencyOneLeavesIgnoredAndResistivityRowsOut) {
    DataSet d = twoProfiles();
    auto items = picked(d, {0});
    items[0].positionText = "    100.0";
    writeProfileExport(d.store, d.rows, items, 16000, ProfileExportFormat::Xyz);
    EXPECT_EQ(d.store.exportBuffer, "LINE    100.0\r\n"
                                    "     25.0     -12.0       3.0\r\n"
                                    "     50.0       7.0      -2.0\r\n");
}

TEST(ProfileExport, WadiLinesOfTwoProfiles) {
    DataSet d = twoProfiles();
    auto items = picked(d, {0, 1});
    RecordingMessages messages;
    items[0].positionText = *wadiPositionText("100", 'N', messages);
    items[1].positionText = *wadiPositionText("25", 'E', messages);
    writeProfileExport(d.store, d.rows, items, 19600, ProfileExportFormat::Wadi);
    EXPECT_EQ(d.store.exportBuffer, goldenText("export_wadi_two_profiles.txt"));
}

// The count line must match the rows that follow, or the reader takes a row
// for the next profile's position.
TEST(ProfileExport, BothFrequencyNumbersAtOneFrequencyAreOfferedOnceAndAllCounted) {
    DataSet d;
    d.add({.station = 10, .tilt = 1, .ellipticity = 2, .frequency = 19600});
    d.add({.station = 10, .tilt = 3, .ellipticity = 4, .frequencyNumber = 2, .frequency = 19600});
    d.add({.station = 20, .tilt = 5, .ellipticity = 6, .frequency = 19600});
    auto items = picked(d, {0});
    ASSERT_EQ(commonFrequencies(items), std::vector<int>{19600});
    writeProfileExport(d.store, d.rows, items, 19600, ProfileExportFormat::Wadi);
    EXPECT_EQ(d.store.exportBuffer, "Veldro file export\r\n"
                                    "-999999\r\n"
                                    "19.6\r\n"
                                    "  3\r\n"
                                    " 10       1.0       2.0\r\n"
                                    " 10       3.0       4.0\r\n"
                                    " 20       5.0       6.0\r\n");
}

TEST(ProfileExport, NothingPickedWritesTheWadiTitleOnly) {
    DataSet d = twoProfiles();
    writeProfileExport(d.store, d.rows, picked(d, {}), 19600, ProfileExportFormat::Wadi);
    EXPECT_EQ(d.store.exportBuffer, "Veldro file export\r\n");
}

TEST(PositionText, XyzFormKeepsOneDecimalAndLimitsTheValue) {
    RecordingMessages messages;
    EXPECT_EQ(xyzPositionText("100", messages), "    100.0");
    EXPECT_EQ(xyzPositionText("2500000", messages), " 999999.9");
    EXPECT_EQ(xyzPositionText("-1e30", messages), "-999999.9");
    EXPECT_EQ(xyzPositionText("-12.25", messages), "    -12.3");
    EXPECT_TRUE(messages.shown.empty());
}

TEST(PositionText, XyzFormRefusesLetters) {
    RecordingMessages messages;
    EXPECT_FALSE(xyzPositionText("abc", messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Please enter a valid numeric value");
}

TEST(PositionText, WadiFormBuildsFourDigitsAndDirection) {
    RecordingMessages messages;
    EXPECT_EQ(wadiPositionText("25", 'E', messages), "0025E");
    EXPECT_EQ(wadiPositionText("123456", 'S', messages), "9999S");
    EXPECT_EQ(wadiPositionText("0", 'W', messages), "0000W");
    EXPECT_TRUE(messages.shown.empty());
}

TEST(PositionText, WadiFormMessagesInTheirOrder) {
    RecordingMessages messages;
    EXPECT_FALSE(wadiPositionText("2.5", 'N', messages));
    EXPECT_FALSE(wadiPositionText("-5", 'N', messages));
    EXPECT_FALSE(wadiPositionText("25", '\0', messages));
    EXPECT_FALSE(wadiPositionText("x", '\0', messages)); // the number is checked first
    ASSERT_EQ(messages.shown.size(), 4u);
    EXPECT_EQ(messages.shown[0].text, "Please enter a valid integer value");
    EXPECT_EQ(messages.shown[1].text, "Please enter a positive integer value");
    EXPECT_EQ(messages.shown[2].text, "Please select a cardinal direction");
    EXPECT_EQ(messages.shown[3].text, "Please enter a valid integer value");
}
