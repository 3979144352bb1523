#include "data/measurement_record.h"
#include "data/measurement_store.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace veldro;
using veldro::test::goldenHex;

namespace {

std::vector<std::uint8_t> recordBytes(const std::vector<std::uint8_t>& file, int index) {
    const auto begin = file.begin() + 1024 + index * 44;
    return {begin, begin + 44};
}

} // namespace

TEST(MeasurementRecord, DecodesEveryFieldAtItsOffset) {
    const auto file = goldenHex("three_records.vlf.hex");
    ASSERT_EQ(file.size(), 1024u + 3 * 44);

    const auto tilt = MeasurementRecord::decode(file.data() + 1024);
    EXPECT_EQ(tilt.ignored, 0);
    EXPECT_EQ(tilt.profile, 12);
    EXPECT_EQ(tilt.station, 25);
    EXPECT_EQ(tilt.frequency, 19800);
    EXPECT_EQ(tilt.quality, 95);
    EXPECT_EQ(tilt.tiltVertical, -7);
    EXPECT_EQ(tilt.ellipticityVertical, 3);
    EXPECT_EQ(tilt.hHorizontal, 12.5f);
    EXPECT_EQ(tilt.tiltHorizontal, -15);
    EXPECT_EQ(tilt.ellipticityHorizontal, 4);
    EXPECT_EQ(tilt.status, 0x2312);
    EXPECT_TRUE(tilt.tiltMode());
    EXPECT_EQ(tilt.frequencyNumber(), 2);

    const auto res = MeasurementRecord::decode(file.data() + 1024 + 44);
    EXPECT_EQ(res.ignored, 1);
    EXPECT_EQ(res.frequency, 23400);
    EXPECT_EQ(res.resistivity, 1234.5f);
    EXPECT_EQ(res.phase, 45);
    EXPECT_EQ(res.eField, 3.25f);
    EXPECT_EQ(res.hField, 0.75f);
    EXPECT_TRUE(res.resistivityMode());
    EXPECT_EQ(res.frequencyNumber(), 1);

    const auto edge = MeasurementRecord::decode(file.data() + 1024 + 88);
    EXPECT_EQ(edge.profile, -1);
    EXPECT_EQ(edge.station, 32767);
    EXPECT_EQ(edge.ellipticityVertical, -100);
    EXPECT_EQ(edge.hHorizontal, 0.1f);
}

TEST(MeasurementRecord, EncodesBackToTheSameBytes) {
    const auto file = goldenHex("three_records.vlf.hex");
    for (int i = 0; i < 3; ++i) {
        const auto expected = recordBytes(file, i);
        std::vector<std::uint8_t> bytes(44, 0xAA);
        MeasurementRecord::decode(expected.data()).encode(bytes.data());
        EXPECT_EQ(bytes, expected) << "record " << i;
    }
}

TEST(MeasurementRecord, ReservedBytesSurviveARoundTrip) {
    std::vector<std::uint8_t> bytes(44, 0);
    bytes[14] = 0x12, bytes[15] = 0x34, bytes[26] = 0x56, bytes[34] = 0x78;
    std::vector<std::uint8_t> out(44, 0);
    MeasurementRecord::decode(bytes.data()).encode(out.data());
    EXPECT_EQ(out, bytes);
}

TEST(MeasurementRecord, GainsComeFromEachChannelsOwnBits) {
    MeasurementRecord r;
    r.status = 0x2312; // codes 2, 1, 3
    EXPECT_EQ(r.gain(1), 16);
    EXPECT_EQ(r.gain(2), 4);
    EXPECT_EQ(r.gain(3), 32);
    r.status = 0x0888; // overloads only, all codes 0
    for (int channel = 1; channel <= 3; ++channel) {
        EXPECT_EQ(r.gain(channel), 1);
        EXPECT_TRUE(r.overload(channel));
    }
    // Bits the program does not interpret change nothing.
    r.status = 0x5444;
    EXPECT_EQ(r.gain(1), 1);
    EXPECT_FALSE(r.overload(1));
    EXPECT_TRUE(r.tiltMode());
    EXPECT_EQ(r.frequencyNumber(), 1);
}

TEST(MeasurementRecord, MakeStatusPutsEachFlagInItsBit) {
    EXPECT_EQ(makeStatus(2, false, 1, false, 3, false, 2, false), 0x2312);
    EXPECT_EQ(makeStatus(0, true, 0, false, 0, false, 1, true), 0x8008);
    EXPECT_EQ(makeStatus(0, false, 0, true, 0, true, 1, false), 0x0880);
}
