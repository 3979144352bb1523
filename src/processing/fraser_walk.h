#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace veldro {

struct MeasurementRecord;
class SurveyView;

// A run: rows of one frequency number whose profile does not change. Each run
// has a curve of its own; curve indices count up over both frequency numbers.
struct FraserRun {
    int curve = 0;
    int profile = 0;
    int frequencyNumber = 1; // 1 or 2
    int frequency = 0;       // Hz of the run's first row
    std::string title;       // "Prof12,Freq1"
};

// One Fraser value: F = (A0 + A1) - (A2 + A3) of four consecutive station groups,
// placed at x = (S0 + S3) / 2, with the run that produced it.
struct FraserValue {
    int curve = 0;
    float x = 0;
    float value = 0; // kFraserFailed when the arithmetic failed
    int profile = 0;
    int frequency = 0;
    std::array<int, 4> stations{}; // S0 to S3, oldest first
};

inline constexpr float kFraserFailed = 99999.0f;

// What the Fraser view, the column plot and the Fraser spreadsheet do with the walk.
class FraserVisitor {
public:
    virtual ~FraserVisitor() = default;
    virtual void newRun(const FraserRun& /*run*/) {}
    // The curve is about to receive a value: its list entry is enabled and checked.
    virtual void curveUsed(int /*curve*/) {}
    virtual void value(const FraserValue& value) = 0;
};

// Run detection over the rows in table order, one track per frequency number.
// Every row of a frequency number takes part, kept or ignored, tilt or
// resistivity; the Fraser walk and the column plot share it.
class RunDetection {
public:
    RunDetection();
    // Follows `record` into its frequency number's track; true when a run
    // starts with it (`current` then describes the new run).
    bool follow(const MeasurementRecord& record);
    // The run the last record of a frequency number (1 or 2) belongs to.
    const FraserRun& current(int frequencyNumber) const {
        return runs_[static_cast<std::size_t>(frequencyNumber - 1)];
    }

private:
    std::array<FraserRun, 2> runs_;
};

// The Fraser filter of the vertical tilt over the rows in table order: kept
// tilt-mode rows contribute, every row of a frequency number takes part in
// its run detection. Values come in emission order, then the flush of
// frequency #1 and of frequency #2.
void walkFraser(const SurveyView& survey, FraserVisitor& visitor);

// A station group's mean tilt: the integer sum divided by the count, as a 32-bit float.
float stationAverage(std::int32_t sum, std::int32_t count);

// "Prof" + profile + ",Freq1" or ",Freq2".
std::string fraserCurveTitle(int profile, int frequencyNumber);

} // namespace veldro
