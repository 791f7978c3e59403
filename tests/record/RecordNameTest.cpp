#include "record/RecordName.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PathCase {
    const char* name;
    std::string path;
    std::string folder;
    std::string fileName;
};

class PathParts : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathParts, SplitAtTheLastSeparatorOfEitherKind) {
    const PathCase& c = GetParam();
    EXPECT_EQ(FolderOfPath(c.path), c.folder);
    EXPECT_EQ(FileNameOfPath(c.path), c.fileName);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathParts,
    ::testing::Values(PathCase{"Posix", "/data/quakes/elcentro.txt", "/data/quakes",
                               "elcentro.txt"},
                      PathCase{"Windows", "C:\\quakes\\EQ 1.AT2", "C:\\quakes", "EQ 1.AT2"},
                      PathCase{"Mixed", "C:/quakes\\old/kobe.txt", "C:/quakes\\old", "kobe.txt"},
                      PathCase{"NoFolder", "quake", ".", "quake"},
                      PathCase{"AtTheRoot", "/quake.txt", "/", "quake.txt"},
                      PathCase{"EndsInASeparator", "reports/", "reports", ""},
                      PathCase{"Empty", "", ".", ""}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return info.param.name; });

} // namespace
