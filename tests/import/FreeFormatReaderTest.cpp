#include "import/FreeFormatReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

FreeTypeParameters Params(FieldDelimiter delimiter = FieldDelimiter::Comma, int column = 1,
                          double scale = 1, int skip = 0) {
    FreeTypeParameters p;
    p.Delimiter = delimiter;
    p.AccelerationColumn = column;
    p.ScalingFactor = scale;
    p.LinesToSkip = skip;
    return p;
}

struct ReadCase {
    const char* title;
    std::string text;
    FreeTypeParameters parameters;
    std::vector<double> samples; // expected when warning is empty
    std::string warning;
};

class ReadRecord : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadRecord, GivesSamplesOrTheExactWarning) {
    const ReadCase& c = GetParam();
    const ReadOutcome outcome =
        ReadRecordLines("EQ.txt", SplitTextLines(c.text), c.parameters, '.');
    EXPECT_EQ(outcome.Warning, c.warning);
    if (c.warning.empty()) {
        ASSERT_TRUE(outcome.Record);
        EXPECT_EQ(outcome.Record->GetAcceleration(), c.samples);
        EXPECT_EQ(outcome.Record->GetName(), "EQ.txt");
        EXPECT_EQ(outcome.Record->GetDt(), c.parameters.TimeStep);
    } else {
        EXPECT_FALSE(outcome.Record);
    }
}

const std::string kBadLine = "FILE: EQ.txt. ERROR Line: ";

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadRecord,
    ::testing::Values(
        ReadCase{"column1", "0.1,5\n0.2,6\n", Params(), {0.1, 0.2}, ""},
        ReadCase{"column2", "0.1,5\n0.2,6\n", Params(FieldDelimiter::Comma, 2), {5, 6}, ""},
        ReadCase{"scaled", "0.1,5\n0.2,6\n", Params(FieldDelimiter::Comma, 1, 2), {0.2, 0.4}, ""},
        ReadCase{"looseBlanks", "  0.1 \t 0.2  \n", Params(FieldDelimiter::Space, 2), {0.2}, ""},
        ReadCase{"looseCommaIsOrdinary",
                 "0.1,0.2\n",
                 Params(FieldDelimiter::Space),
                 {},
                 kBadLine + "1. ERROR: '0.1,0.2' is not a valid floating point value"},
        ReadCase{
            "strictFieldsAreStripped", "0.1 , 0.2\n", Params(FieldDelimiter::Comma, 2), {0.2}, ""},
        ReadCase{"emptyFirstField",
                 "0.1\n,0.3\n",
                 Params(),
                 {},
                 kBadLine + "2. ERROR: '' is not a valid floating point value"},
        ReadCase{"missingField",
                 "0.3\n",
                 Params(FieldDelimiter::Comma, 2),
                 {},
                 kBadLine + "1. ERROR: List index out of bounds (1)"},
        ReadCase{"trailingCommaMakesEmptyField",
                 "0.3,\n",
                 Params(FieldDelimiter::Comma, 2),
                 {},
                 kBadLine + "1. ERROR: '' is not a valid floating point value"},
        ReadCase{"oneFinalBreakReadsNormally", "1\n2\n", Params(), {1, 2}, ""},
        ReadCase{"blankLineInData",
                 "1\n   \n2\n",
                 Params(),
                 {},
                 kBadLine + "2. ERROR: List index out of bounds (0)"},
        ReadCase{"skipAllLines",
                 "a\nb\n",
                 Params(FieldDelimiter::Comma, 1, 1, 2),
                 {},
                 "FILE: EQ.txt, WARNING: Skipline is too large, there is no data to read!"},
        ReadCase{"emptyFile",
                 "",
                 Params(),
                 {},
                 "FILE: EQ.txt, WARNING: Skipline is too large, there is no data to read!"},
        ReadCase{"lineNumbersCountHeader",
                 "h1\nh2\nh3\nx\n",
                 Params(FieldDelimiter::Comma, 1, 1, 3),
                 {},
                 kBadLine + "4. ERROR: 'x' is not a valid floating point value"},
        ReadCase{"headerIgnoredWhateverItHolds",
                 "title, \"x\nNPTS=3\n1E-2\n-2.5e+1\n",
                 Params(FieldDelimiter::Comma, 1, 1, 2),
                 {0.01, -25},
                 ""},
        ReadCase{"crOnlyAndCrLf", "1\r2\r\n3\n4", Params(), {1, 2, 3, 4}, ""},
        ReadCase{"nulEndsText", std::string("1\n2\n\0garbage\n", 13), Params(), {1, 2}, ""},
        ReadCase{"quotedFields",
                 "\"0.5\",\"a,b\"\n\"1\"\"\",2\n",
                 Params(),
                 {},
                 kBadLine + "2. ERROR: '1\"' is not a valid floating point value"},
        ReadCase{"quotedWithComma", "\"x,y\",0.7\n", Params(FieldDelimiter::Comma, 2), {0.7}, ""},
        ReadCase{"afterClosingQuoteIsAFurtherField",
                 "\"1\"2,3\n",
                 Params(FieldDelimiter::Comma, 2),
                 {2},
                 ""},
        ReadCase{"unclosedQuoteRunsToEnd",
                 "\"4.5\n\"1\"\"\n",
                 Params(),
                 {},
                 kBadLine + "2. ERROR: '1\"' is not a valid floating point value"},
        ReadCase{"scaledValueBeyondTheDoublesStopsAtItsLine",
                 "0.5\n1e306\n",
                 Params(FieldDelimiter::Comma, 1, -1000),
                 {},
                 kBadLine + "2. ERROR: Floating point overflow"},
        ReadCase{"notANumberForms",
                 "inf\n",
                 Params(),
                 {},
                 kBadLine + "1. ERROR: 'inf' is not a valid floating point value"},
        ReadCase{"utf8Bom",
                 "\xEF\xBB\xBF"
                 "0.25\n",
                 Params(),
                 {0.25},
                 ""},
        ReadCase{"utf16LeBom",
                 std::string("\xFF\xFE"
                             "1\0\n\0"
                             "2\0",
                             8),
                 Params(),
                 {1, 2},
                 ""},
        ReadCase{"utf16BeBom",
                 std::string("\xFE\xFF\0"
                             "3\0\r\0\n\0"
                             "4",
                             10),
                 Params(),
                 {3, 4},
                 ""}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.title); });

// Blank lines (nothing but characters 0 to 32) that end a file are ignored,
// however many and whatever the line ends and the delimiter; a blank line with
// a data line after it still fails at its own number, and a file whose data
// lines are all blank has no data.
INSTANTIATE_TEST_SUITE_P(
    BlankLines, ReadRecord,
    ::testing::Values(
        ReadCase{"twoFinalBreaks", "1\n2\n\n", Params(), {1, 2}, ""},
        ReadCase{"manyFinalBlankLines", "1\r\n2\r\n\r\n \t\r\n\r\n", Params(), {1, 2}, ""},
        ReadCase{"finalBlanksWithoutBreak", "1\n2\n   ", Params(), {1, 2}, ""},
        ReadCase{"finalControlCharacters", "1\n2\n\x01\x1f\x0b\n\f", Params(), {1, 2}, ""},
        ReadCase{"finalCrOnly", "1\r2\r\r\r", Params(FieldDelimiter::Space), {1, 2}, ""},
        ReadCase{"finalBlankAfterColumns",
                 "0.1,5\n0.2,6\n\n",
                 Params(FieldDelimiter::Comma, 2),
                 {5, 6},
                 ""},
        ReadCase{"blankBeforeLastDataLine",
                 "1\n2\n\n3\n\n",
                 Params(),
                 {},
                 kBadLine + "3. ERROR: List index out of bounds (0)"},
        ReadCase{"blankFirstDataLine",
                 "h\n\n1\n",
                 Params(FieldDelimiter::Comma, 1, 1, 1),
                 {},
                 kBadLine + "2. ERROR: List index out of bounds (0)"},
        // Not blank: a comma is a character of the line.
        ReadCase{"finalLoneComma",
                 "1\n2\n,\n",
                 Params(),
                 {},
                 kBadLine + "3. ERROR: '' is not a valid floating point value"},
        ReadCase{"onlyBlankDataLines",
                 "header\n\n  \n",
                 Params(FieldDelimiter::Comma, 1, 1, 1),
                 {},
                 "FILE: EQ.txt, WARNING: Skipline is too large, there is no data to read!"},
        ReadCase{"blankHeaderLinesStillSkipped",
                 "\n\n7\n\n",
                 Params(FieldDelimiter::Comma, 1, 1, 2),
                 {7},
                 ""}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.title); });

TEST(ReadRecord, AcceptsTheUsersSeparatorAndAlwaysThePoint) {
    const auto lines = SplitTextLines("0,5\n0.25\n");
    const ReadOutcome outcome = ReadRecordLines("r", lines, Params(FieldDelimiter::Space), ',');
    ASSERT_TRUE(outcome.Record) << outcome.Warning;
    EXPECT_EQ(outcome.Record->GetAcceleration(), (std::vector<double>{0.5, 0.25}));
    // With '.' as the user's separator a ',' decimal is not a number.
    EXPECT_FALSE(
        ReadRecordLines("r", SplitTextLines("0,5\n"), Params(FieldDelimiter::Space), '.').Record);
}

TEST(ReadRecord, UnreadableFileGivesOpenWarning) {
    const std::string path = "/nonexistent-folder/quake.txt";
    const ReadOutcome outcome = ReadRecordFile(path, Params());
    EXPECT_FALSE(outcome.Record);
    EXPECT_EQ(outcome.Warning, "FILE : quake.txt , ERROR: Cannot open file \"" + path +
                                   "\". No such file or directory");
}

TEST(ReadRecord, ReadsAFileFromDiskWithItsName) {
    const auto folder = std::filesystem::temp_directory_path() / "vorsen-reader-test";
    std::filesystem::create_directories(folder);
    const auto path = folder / "EQ1.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "0.1\r\n-0.2\r\n";
    }
    const ReadOutcome outcome = ReadRecordFile(path.string(), Params());
    ASSERT_TRUE(outcome.Record) << outcome.Warning;
    EXPECT_EQ(outcome.Record->GetName(), "EQ1.txt");
    EXPECT_EQ(outcome.Record->Count(), 2);
    // A folder cannot be read as a record file.
    EXPECT_NE(ReadRecordFile(folder.string(), Params())
                  .Warning.find("FILE : vorsen-reader-test , ERROR: Cannot open file"),
              std::string::npos);
    std::filesystem::remove_all(folder);
}

TEST(SplitFields, LooseAndStrictSplitting) {
    EXPECT_EQ(SplitFields("  0.1 \t 0.2  ", FieldDelimiter::Space),
              (std::vector<std::string>{"0.1", "0.2"}));
    EXPECT_EQ(SplitFields("a,,b,", FieldDelimiter::Comma),
              (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(SplitFields(",a", FieldDelimiter::Comma), (std::vector<std::string>{"", "a"}));
    EXPECT_EQ(SplitFields(" a b ,c", FieldDelimiter::Comma),
              (std::vector<std::string>{"a b ", "c"}));
    EXPECT_EQ(SplitFields("\"a b\" c", FieldDelimiter::Space),
              (std::vector<std::string>{"a b", "c"}));
    EXPECT_TRUE(SplitFields(" \t ", FieldDelimiter::Comma).empty());
}

TEST(RecordName, KeepsExtensionDropsFolder) {
    EXPECT_EQ(RecordNameFromPath("/data/quakes/elcentro.txt"), "elcentro.txt");
    EXPECT_EQ(RecordNameFromPath("quake"), "quake");
}

} // namespace
