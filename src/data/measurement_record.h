#pragma once

#include <cstddef>
#include <cstdint>

namespace veldro {

// One measurement: the 44-byte little-endian record of memory and of .vlf files.
// Encoded and decoded field by field at its offsets.
struct MeasurementRecord {
    static constexpr std::size_t kSize = 44;

    std::int16_t ignored = 0; // 0 kept, 1 ignored
    std::int16_t profile = 0;
    std::int16_t station = 0;
    std::int16_t frequency = 0; // Hz
    std::int16_t quality = 0;   // %
    std::int16_t tiltVertical = 0;
    std::int16_t ellipticityVertical = 0;
    std::uint16_t reserved14 = 0;
    float hHorizontal = 0; // µA/m
    std::int16_t tiltHorizontal = 0;
    std::int16_t ellipticityHorizontal = 0;
    std::uint16_t status = 0;
    std::uint16_t reserved26 = 0;
    float resistivity = 0; // ohm.m
    std::int16_t phase = 0;
    std::uint16_t reserved34 = 0;
    float eField = 0; // µV/m
    float hField = 0; // µA/m

    static MeasurementRecord decode(const std::uint8_t* bytes);
    void encode(std::uint8_t* bytes) const;

    // The status bits.
    int gainCode(int channel) const; // channel 1..3
    int gain(int channel) const;     // 1, 4, 16 or 32
    bool overload(int channel) const;
    int frequencyNumber() const { return (status & 0x2000) ? 2 : 1; }
    bool resistivityMode() const { return (status & 0x8000) != 0; }
    bool tiltMode() const { return !resistivityMode(); }
    bool kept() const { return ignored == 0; }

    bool operator==(const MeasurementRecord&) const = default;
};

// Gain of a two-bit gain code: 0 -> 1, 1 -> 4, 2 -> 16, 3 -> 32.
int gainOfCode(int code);

// The status value of given channel gain codes and flags, for makers of records.
std::uint16_t makeStatus(int gainCode1, bool overload1, int gainCode2, bool overload2,
                         int gainCode3, bool overload3, int frequencyNumber, bool resistivityMode);

} // namespace veldro
