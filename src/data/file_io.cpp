#include "data/file_io.h"

#include <algorithm>

namespace veldro {

namespace {

std::string_view bytesOf(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

} // namespace

std::vector<std::uint8_t> readFileStart(const std::string& path, std::size_t limit) {
    InputFile file(path);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(limit, file.size())));
    char chunk[1 << 16];
    while (bytes.size() < limit) {
        const std::size_t n = file.read(chunk, std::min(sizeof chunk, limit - bytes.size()));
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

LineReader::LineReader(const std::string& path) : file_(path), buffer_(1 << 16) {}

LineReader::~LineReader() = default;

bool LineReader::fill() {
    next_ = 0;
    end_ = file_.read(buffer_.data(), buffer_.size());
    return end_ > 0;
}

std::optional<TextLine> LineReader::next() {
    if (skipLineFeed_) {
        skipLineFeed_ = false;
        if ((next_ < end_ || fill()) && buffer_[next_] == '\n') ++next_;
    }
    line_.clear();
    std::uint64_t length = 0;
    bool started = false;
    for (;;) {
        if (next_ == end_ && !fill()) {
            if (!started) return std::nullopt;
            return TextLine{line_, length};
        }
        started = true;
        const char* from = buffer_.data() + next_;
        const char* to = buffer_.data() + end_;
        const char* lineEnd = std::find_if(from, to, [](char c) { return c == '\r' || c == '\n'; });
        const auto taken = static_cast<std::size_t>(lineEnd - from);
        line_.append(from, std::min(taken, kKeptLength - line_.size()));
        length += taken;
        next_ += taken;
        if (length > kLongestLine)
            throw FileError("Cannot read", file_.path(),
                            "a line runs past " + std::to_string(kLongestLine >> 20) +
                                " MiB without a line end");
        if (lineEnd != to) {
            skipLineFeed_ = *lineEnd == '\r';
            ++next_;
            return TextLine{line_, length};
        }
    }
}

void LineReader::rewind() {
    file_.rewind();
    next_ = end_ = 0;
    skipLineFeed_ = false;
}

void writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    writeFileAtomically(path, bytesOf(bytes));
}

void writeNewOrRegularFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    writeNewOrRegularFile(path, bytesOf(bytes));
}

void writeWorkingFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    writeWorkingFile(path, bytesOf(bytes));
}

} // namespace veldro
