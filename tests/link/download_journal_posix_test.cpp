// The download journal on what only POSIX plants in a folder (pipes, links)
// and on a full disk.
#include "data/file_io.h"
#include "faulty_folder.h"
#include "link/download_journal.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace veldro {
namespace {

using test::FaultyFolder;
using test::TempDir;

constexpr std::time_t kStart = 1764000000;

std::string closedJournal(const std::string& folder, int records) {
    DownloadJournal journal(folder, kStart);
    for (int i = 0; i < records; ++i) journal.append(MeasurementRecord{});
    journal.markEnded();
    journal.close();
    return journal.path();
}

// Nothing in the journals' folder is waited on or followed: a pipe would
// hang the window at its start, a link lead a done mark anywhere.
TEST(DownloadJournalPosix, NamesThatAreNoRegularFileAreNeitherReadNorWaitedOn) {
    TempDir dir;
    const std::string journal = closedJournal(dir.path(), 3);
    ASSERT_EQ(::mkfifo(dir.file("pipe.vdj").c_str(), 0600), 0);
    std::filesystem::create_symlink(journal, dir.file("link.vdj"));
    std::filesystem::create_directory(dir.file("folder.vdj"));

    const auto pending = pendingJournals(dir.path(), kStart);
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].path, journal);
    for (const char* name : {"pipe.vdj", "link.vdj", "folder.vdj"}) {
        SCOPED_TRACE(name);
        try {
            readJournal(dir.file(name));
            ADD_FAILURE() << "read";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot read " + dir.file(name) + ": not a regular file");
        }
        EXPECT_THROW(markJournalDone(dir.file(name), JournalEnd::Saved), FileError);
    }
    EXPECT_TRUE(readJournal(journal).pending());
}

// Saved in full or dropped, a download whose journal met a full disk is not
// offered again: the journal takes its done mark, or goes.
TEST(DownloadJournalPosix, JournalThatFilledItsDiskIsDoneOnceTheDownloadIsSaved) {
    struct Case {
        const char* what;
        bool stoppedWhileDownloading;
    };
    for (const Case c : {Case{"stopped while the download ran", true},
                         Case{"the disk full when the data set was saved", false}}) {
        SCOPED_TRACE(c.what);
        FaultyFolder folder;
        if (c.stoppedWhileDownloading) {
            DownloadJournal journal(folder.path(), kStart);
            journal.append(MeasurementRecord{});
            folder.fill();
            for (int i = 0; i < 200; ++i) journal.append(MeasurementRecord{});
            EXPECT_NE(journal.error(), "");
            journal.close(JournalEnd::Saved);
        } else {
            // 71 records and the end mark fill a 4096-byte block but for 32 bytes.
            const std::string path = closedJournal(folder.path(), 71);
            folder.fill();
            markJournalDone(path, JournalEnd::Saved);
        }
        folder.restore();
        EXPECT_TRUE(pendingJournals(folder.path(), kStart).empty());
    }
}

} // namespace
} // namespace veldro
