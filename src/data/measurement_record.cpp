#include "data/measurement_record.h"

#include <bit>
#include <stdexcept>

namespace veldro {

namespace {

std::uint16_t readU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::int16_t readI16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(readU16(p));
}
float readF32(const std::uint8_t* p) {
    const std::uint32_t bits =
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    return std::bit_cast<float>(bits);
}

void writeU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void writeI16(std::uint8_t* p, std::int16_t v) {
    writeU16(p, static_cast<std::uint16_t>(v));
}
void writeF32(std::uint8_t* p, float v) {
    const auto bits = std::bit_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

// Bit position of a channel's gain code and overload flag in `status`.
int gainShift(int channel) {
    return 4 * (channel - 1);
}

} // namespace

MeasurementRecord MeasurementRecord::decode(const std::uint8_t* b) {
    MeasurementRecord r;
    r.ignored = readI16(b + 0);
    r.profile = readI16(b + 2);
    r.station = readI16(b + 4);
    r.frequency = readI16(b + 6);
    r.quality = readI16(b + 8);
    r.tiltVertical = readI16(b + 10);
    r.ellipticityVertical = readI16(b + 12);
    r.reserved14 = readU16(b + 14);
    r.hHorizontal = readF32(b + 16);
    r.tiltHorizontal = readI16(b + 20);
    r.ellipticityHorizontal = readI16(b + 22);
    r.status = readU16(b + 24);
    r.reserved26 = readU16(b + 26);
    r.resistivity = readF32(b + 28);
    r.phase = readI16(b + 32);
    r.reserved34 = readU16(b + 34);
    r.eField = readF32(b + 36);
    r.hField = readF32(b + 40);
    return r;
}

void MeasurementRecord::encode(std::uint8_t* b) const {
    writeI16(b + 0, ignored);
    writeI16(b + 2, profile);
    writeI16(b + 4, station);
    writeI16(b + 6, frequency);
    writeI16(b + 8, quality);
    writeI16(b + 10, tiltVertical);
    writeI16(b + 12, ellipticityVertical);
    writeU16(b + 14, reserved14);
    writeF32(b + 16, hHorizontal);
    writeI16(b + 20, tiltHorizontal);
    writeI16(b + 22, ellipticityHorizontal);
    writeU16(b + 24, status);
    writeU16(b + 26, reserved26);
    writeF32(b + 28, resistivity);
    writeI16(b + 32, phase);
    writeU16(b + 34, reserved34);
    writeF32(b + 36, eField);
    writeF32(b + 40, hField);
}

int MeasurementRecord::gainCode(int channel) const {
    if (channel < 1 || channel > 3) throw std::out_of_range("channel");
    return (status >> gainShift(channel)) & 3;
}

int MeasurementRecord::gain(int channel) const {
    return gainOfCode(gainCode(channel));
}

bool MeasurementRecord::overload(int channel) const {
    if (channel < 1 || channel > 3) throw std::out_of_range("channel");
    return (status >> (gainShift(channel) + 3)) & 1;
}

int gainOfCode(int code) {
    static constexpr int kGains[4] = {1, 4, 16, 32};
    return kGains[code & 3];
}

std::uint16_t makeStatus(int gainCode1, bool overload1, int gainCode2, bool overload2,
                         int gainCode3, bool overload3, int frequencyNumber, bool resistivityMode) {
    unsigned status = 0;
    const int gains[3] = {gainCode1, gainCode2, gainCode3};
    const bool overloads[3] = {overload1, overload2, overload3};
    for (int channel = 1; channel <= 3; ++channel) {
        status |= static_cast<unsigned>(gains[channel - 1] & 3) << gainShift(channel);
        if (overloads[channel - 1]) status |= 1u << (gainShift(channel) + 3);
    }
    if (frequencyNumber == 2) status |= 0x2000;
    if (resistivityMode) status |= 0x8000;
    return static_cast<std::uint16_t>(status);
}

} // namespace veldro
