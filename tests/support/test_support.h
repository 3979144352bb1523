#pragma once

#include "data/messages.h"
#include "data/progress.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace veldro::test {

// A folder of its own for one test, removed with everything in it; made in
// the system's temporary folder unless `parent` is given.
class TempDir {
public:
    TempDir();
    explicit TempDir(const std::string& parent);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // `name` (UTF-8) in the folder, joined with the system's own separator.
    std::string file(const std::string& name) const {
        return path_ + static_cast<char>(std::filesystem::path::preferred_separator) + name;
    }

private:
    std::string path_;
};

// Runs a test in `folder` (a working file's home) and goes back after it.
class InFolder {
public:
    explicit InFolder(const std::string& folder) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

// The entries of `dir` whose names start with `prefix`: what a failed or
// finished write may have left beside a file.
int entriesStartingWith(const TempDir& dir, const std::string& prefix);

// Records every message the code under test shows.
class RecordingMessages : public MessageSink {
public:
    void show(const Message& message) override { shown.push_back(message); }
    std::vector<Message> shown;
};

class RecordingProgress : public Progress {
public:
    void setMaximum(int value) override { maximum = value; }
    void setPosition(int value) override {
        current = value;
        ++updates;
        highest = std::max(highest, value);
    }
    int position() const override { return current; }
    int maximum = 0, current = 0, highest = 0, updates = 0;
};

// A golden file of tests/golden as bytes.
std::vector<std::uint8_t> goldenBytes(const std::string& name);
std::string goldenText(const std::string& name);
// A golden ".hex" file: hexadecimal byte pairs separated by blanks or line
// breaks, "00*1016" for a byte repeated, '#' to the end of a line a comment.
std::vector<std::uint8_t> goldenHex(const std::string& name);

// veldro-cli run as a user would, through the shell: exit status and both streams.
struct CliRun {
    int status = -1;
    std::string out, err;
};
CliRun runCli(const std::string& arguments, const std::string& environment = "LC_ALL=C");
// The platform's part of runCli: the exit status, the streams into the two files.
int runCliInto(const std::string& arguments, const std::string& environment,
               const std::string& outFile, const std::string& errFile);

std::vector<std::uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

} // namespace veldro::test
