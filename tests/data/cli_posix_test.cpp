// veldro-cli and a symbolic link the user named, as POSIX makes one.
#include "test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using veldro::test::CliRun;
using veldro::test::runCli;
using veldro::test::TempDir;

TEST(Cli, AnOutputLinkTheUserNamedIsWrittenThrough) {
    TempDir dir;
    veldro::test::writeBytes(dir.file("real.vlf"), "old");
    ASSERT_EQ(::symlink("real.vlf", dir.file("link.vlf").c_str()), 0);
    const CliRun run = runCli("import " + std::string(VELDRO_GOLDEN_DIR) + "/mixed.bru" + " -o " +
                              dir.file("link.vlf"));
    EXPECT_EQ(run.status, 0) << run.err;
    struct stat info {};
    ASSERT_EQ(::lstat(dir.file("link.vlf").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(veldro::test::readBytes(dir.file("real.vlf")).size(), 1024u + 4 * 44);
}
