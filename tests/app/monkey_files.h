// The files the monkey works with, in its session's folder, and what the
// program reads from each.
#pragma once

#include "app_test_support.h"
#include "data/bru_import.h"
#include "data/survey_generator.h"
#include "data/vlf_file.h"
#include "test_support.h"

namespace veldro::test {

inline std::vector<MeasurementRecord> recordsOf(const MeasurementStore& store) {
    std::vector<MeasurementRecord> all;
    for (int i = 0; i < store.count(); ++i) all.push_back(store.record(i));
    return all;
}

inline std::vector<MeasurementRecord> recordsOfFile(const QString& file) {
    RecordingMessages said;
    const DataFileRead read = readDataFile(file.toStdString(), said);
    return read.store ? recordsOf(*read.store) : std::vector<MeasurementRecord>{};
}

// A file that cannot be read leaves the data set empty: the old one went first.
inline std::vector<MeasurementRecord> importedRecords(const QString& file) {
    if (!QFile::exists(file)) return {};
    MeasurementStore imported;
    RecordingMessages said;
    ImportBru(imported, file.toStdString(), nullptr, said);
    return recordsOf(imported);
}

class MonkeyFiles {
public:
    MonkeyFiles(Sandbox& sandbox, unsigned seed) : sandbox_(sandbox) {
        writeDataFile(sandbox_.file("survey.vlf"), generateSurvey(200, seed), "North grid");
        std::vector<MeasurementRecord> modes = generateSurvey(400, seed + 1);
        modes.erase(modes.begin(), modes.begin() + 300); // tilt and resistivity profiles
        writeDataFile(sandbox_.file("modes.vlf"), modes, "Levé sud");
        writeDataFile(sandbox_.file("empty.vlf"), {}, "");
        writeText(sandbox_.file("cut.vlf"), QByteArray(1024 + 44 * 3 + 20, '\x01'));
        writeText(sandbox_.file("notes.txt"), "not data\r\n");
        writeText(sandbox_.file("survey.bru"),
                  QByteArray::fromStdString(bruTextOf(generateSurvey(60, seed))));
        writeFaultyBru();
    }

    // Five records, a short line and two empty lines.
    void writeFaultyBru() {
        writeText(sandbox_.file("faults.bru"),
                  "short\r\n" + QByteArray::fromStdString(bruTextOf(generateSurvey(5, 9))) +
                      "\r\n\r\n");
    }

    // Choice `n` of the files an open or an add may be given: good ones, a
    // cut one, one the monkey saves (or not yet), one not data, one missing.
    static constexpr int kDataFileChoices = 7;
    QString anyDataFile(int n) const {
        static const char* const names[kDataFileChoices] = {
            "survey.vlf",  "modes.vlf", "empty.vlf", "cut.vlf",
            "saved 0.vlf", "notes.txt", "gone.vlf"};
        return sandbox_.file(names[n]);
    }

private:
    Sandbox& sandbox_;
};

} // namespace veldro::test
