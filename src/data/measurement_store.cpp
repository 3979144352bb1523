#include "data/measurement_store.h"

#include "data/file_io.h"
#include "data/file_names.h"
#include "data/messages.h"
#include "data/progress.h"

#include <algorithm>
#include <cstring>

namespace veldro {

namespace {

std::string transferredAt(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[128];
    const std::size_t n = std::strftime(text, sizeof text, "%x %X", &local);
    return "Transferred at " + std::string(text, n);
}

} // namespace

void showCapacityWarning(MessageSink& messages) {
    messages.show({std::to_string(MeasurementStore::kCapacity) + " data points max kept", "WARNING",
                   MessageIcon::Warning});
}

MeasurementStore::MeasurementStore(std::time_t createdAt) {
    records_.reserve(kCapacity);
    setCommentText(transferredAt(createdAt));
}

bool MeasurementStore::append(const MeasurementRecord& record) {
    if (full()) return false;
    records_.push_back(record);
    return true;
}

std::string MeasurementStore::commentText() const {
    const auto end = std::find(comment_.begin(), comment_.end(), '\0');
    return std::string(comment_.begin(), end);
}

void MeasurementStore::setCommentText(std::string_view text) {
    comment_.fill('\0');
    std::copy_n(text.begin(), std::min(text.size(), kCommentSize - 1), comment_.begin());
}

void MeasurementStore::loadFromImage(MessageSink& messages) {
    // Bytes the image lacks leave the comment's own bytes as they were.
    const std::size_t commentBytes = std::min(image.size(), kCommentSize);
    std::copy_n(image.begin(), commentBytes, comment_.begin());
    records_.clear();
    if (image.size() <= kCommentSize) return;
    const std::size_t whole = (image.size() - kCommentSize) / MeasurementRecord::kSize;
    const std::size_t loaded = std::min<std::size_t>(whole, kCapacity);
    const std::uint8_t* bytes = image.data() + kCommentSize;
    for (std::size_t i = 0; i < loaded; ++i)
        records_.push_back(MeasurementRecord::decode(bytes + i * MeasurementRecord::kSize));
    if (whole > loaded) showCapacityWarning(messages);
}

void MeasurementStore::writeImage(ImageMode mode, bool keptOnly, int first, int end,
                                  Progress* progress) {
    if (mode == ImageMode::CommentOnly) {
        if (image.size() < kCommentSize) image.resize(kCommentSize);
        std::copy(comment_.begin(), comment_.end(), image.begin());
        return;
    }
    if (end == 0) end = kCapacity;
    end = std::min(end, count());
    first = std::max(first, 0);
    if (progress) {
        progress->setMaximum(count());
        progress->setPosition(0);
    }
    image.resize(kCommentSize +
                 MeasurementRecord::kSize * static_cast<std::size_t>(std::max(end - first, 0)));
    std::copy(comment_.begin(), comment_.end(), image.begin());
    std::uint8_t* out = image.data() + kCommentSize;
    for (int i = first; i < end; ++i) {
        const MeasurementRecord& r = record(i);
        if (!keptOnly || r.kept()) {
            r.encode(out);
            out += MeasurementRecord::kSize;
        }
        if (progress && i % 100 == 0) progress->setPosition(i);
    }
    image.resize(static_cast<std::size_t>(out - image.data()));
    if (progress) progress->setPosition(0);
}

void MeasurementStore::saveToFile(const std::string& fileName, Progress* progress) {
    if (fileName.empty()) return;
    writeImage(ImageMode::Full, false, 0, 0, progress);
    writeFileAtomically(fileName, image);
}

void MeasurementStore::setKept(int index, bool kept) {
    if (index >= 0 && index < count()) record(index).ignored = kept ? 0 : 1;
}

int MeasurementStore::splitGroupEnd(int start) const {
    const MeasurementRecord& head = record(start);
    int end = start + 1;
    while (end < count()) {
        const MeasurementRecord& r = record(end);
        if (r.kept() &&
            (r.profile != head.profile || r.resistivityMode() != head.resistivityMode()))
            break;
        ++end;
    }
    return end;
}

std::vector<std::string> MeasurementStore::splitToFiles(const std::string& directory,
                                                        Progress* progress) {
    std::vector<std::string> written;
    for (int start = 0; start < count();) {
        const int end = splitGroupEnd(start);
        const MeasurementRecord& head = record(start);
        const std::string name =
            splitGroupFileName(directory, head.profile, head.resistivityMode(), start);
        writeImage(ImageMode::Full, true, start, end, progress);
        writeNewOrRegularFile(name, image);
        written.push_back(name);
        start = end;
    }
    return written;
}

} // namespace veldro
