// A .bru file that is a pipe, as POSIX offers one.
#include "data/bru_import.h"
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "test_support.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace veldro;
using veldro::test::RecordingMessages;
using veldro::test::RecordingProgress;
using veldro::test::TempDir;

TEST(ImportBru, APipeIsReadOnceWithABusyBar) {
    TempDir dir;
    const std::string fifo = dir.file("a.bru");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] {
        const auto text = veldro::test::goldenBytes("mixed.bru");
        std::ofstream(fifo, std::ios::binary)
            .write(reinterpret_cast<const char*>(text.data()),
                   static_cast<std::streamsize>(text.size()));
    });
    MeasurementStore store;
    RecordingMessages messages;
    RecordingProgress progress;
    progress.maximum = -1;
    ImportBru(store, fifo, &progress, messages);
    writer.join();
    EXPECT_EQ(store.count(), 4);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "8 points rejected\nPlease edit BRU file to correct bad records");
    EXPECT_EQ(progress.maximum, 0);
}

// Input without end: given up with the reason, nothing imported.
TEST(ImportBru, EndlessDevicesAreGivenUp) {
    const std::pair<const char*, const char*> cases[] = {
        {"/dev/zero", "a line runs past 1 MiB without a line end"},
        {"/dev/urandom", "no end and no full data set in its first 32 MiB"}};
    for (const auto& [device, reason] : cases) {
        MeasurementStore store;
        RecordingMessages messages;
        try {
            ImportBru(store, device, nullptr, messages);
            ADD_FAILURE() << device << " was imported";
        } catch (const FileError& e) {
            EXPECT_EQ(e.what(), std::string("Cannot read ") + device + ": " + reason);
        }
        EXPECT_EQ(store.count(), 0) << device;
    }
}

// A pipe that goes on with records is read until the store is full.
TEST(ImportBru, AnEndlessPipeOfRecordsStopsWhenTheStoreIsFull) {
    TempDir dir;
    const std::string fifo = dir.file("endless.bru");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    std::thread writer([&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        const std::string line =
            "      1     12     25  19800  95   -7    3  12.5000  -15    4 2312 \r\n";
        while (::write(fd, line.data(), line.size()) > 0) {
        }
        ::close(fd);
    });
    MeasurementStore store;
    RecordingMessages messages;
    ImportBru(store, fifo, nullptr, messages);
    writer.join();
    std::signal(SIGPIPE, previous);
    EXPECT_EQ(store.count(), MeasurementStore::kCapacity);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown[0].text, "64000 data points max kept");
}
