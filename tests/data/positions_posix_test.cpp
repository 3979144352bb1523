// A pipe where the positions file would be: opening it would wait for a writer.
#include "data/positions_file.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(PositionsFile, APipeBesideTheDataFileIsPassedOver) {
    veldro::test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("line1.positions.csv").c_str(), 0600), 0);
    EXPECT_FALSE(veldro::readPositionsBeside(dir.file("line1.vlf")).has_value());
}
