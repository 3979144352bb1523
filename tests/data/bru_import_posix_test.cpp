// A .bru file that is a pipe, as POSIX offers one.
#include "data/bru_import.h"
#include "data/measurement_store.h"
#include "test_support.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

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
