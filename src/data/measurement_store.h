#pragma once

#include "data/measurement_record.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace veldro {

class MessageSink;
class Progress;

enum class ImageMode { CommentOnly = 1, Full = 2 };

// The one data set: up to 64000 records in acquisition order, the 1024-byte
// comment, the .vlf file image that every load and save goes through, and the
// buffer in which exports assemble their text.
class MeasurementStore {
public:
    static constexpr int kCapacity = 64000;
    static constexpr std::size_t kCommentSize = 1024;

    // An empty store whose comment reads "Transferred at " and the local date
    // and time of `createdAt` in the user's locale.
    explicit MeasurementStore(std::time_t createdAt = std::time(nullptr));

    std::vector<std::uint8_t> image;
    std::string exportBuffer;

    int count() const { return static_cast<int>(records_.size()); }
    bool full() const { return count() >= kCapacity; }
    const MeasurementRecord& record(int index) const {
        return records_[static_cast<std::size_t>(index)];
    }
    MeasurementRecord& record(int index) { return records_[static_cast<std::size_t>(index)]; }
    // Appends at the first empty slot; false (and nothing stored) when all are full.
    bool append(const MeasurementRecord& record);
    void clearRecords() { records_.clear(); }

    // The comment: 8-bit text up to its first zero byte; at most 1023 characters kept.
    std::string commentText() const;
    void setCommentText(std::string_view text);
    const std::array<char, kCommentSize>& commentBlock() const { return comment_; }

    // Rebuilds comment and records from `image`; says "64000 data points max
    // kept" when the image holds more whole records than the store can.
    void loadFromImage(MessageSink& messages);
    // Writes the comment and (unless CommentOnly) the records of slots
    // [first, end) into `image`, only the kept ones when keptOnly; end 0 means
    // all. CommentOnly overwrites the comment block in place.
    void writeImage(ImageMode mode, bool keptOnly, int first, int end,
                    Progress* progress = nullptr);
    // Writes every record to `fileName` atomically; an empty name does nothing.
    // Throws FileError, leaving any old file whole.
    void saveToFile(const std::string& fileName, Progress* progress = nullptr);

    void setKept(int index, bool kept);
    double stationAt(int index) const { return record(index).station; }

    // Writes the kept records of each run of one profile and mode into
    // "Profile P_INC_N.vlf" / "Profile P_RES_N.vlf" in `directory`; returns the
    // files written. Stops at the first file that cannot be written (FileError).
    std::vector<std::string> splitToFiles(const std::string& directory,
                                          Progress* progress = nullptr);

    // The first index after `start` that ends the split group beginning at `start`.
    int splitGroupEnd(int start) const;

private:
    std::array<char, kCommentSize> comment_{};
    std::vector<MeasurementRecord> records_;
};

// The capacity warning of loads and imports.
void showCapacityWarning(MessageSink& messages);

} // namespace veldro
