#include "import/CosmosReader.h"
#include "import/RecordImport.h"

#include "StandardFixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using fixtures::Edit;

const std::string Base = "cosmos-5f15.v2";

// ---- Layouts ---------------------------------------------------------------

struct LayoutCase {
    const char* title;
    std::string file;
    double gravity;
    std::size_t record; // which record of the file
    std::size_t records;
    std::string name;
    double dt;
    std::size_t count;
    std::vector<std::pair<std::size_t, double>> samples; // index, g
    std::string units;
    std::string component;
    std::string statedPeak;
};

class CosmosLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(CosmosLayout, ReadsTimeStepCountUnitsAndInfoFromTheHeader) {
    const LayoutCase& c = GetParam();
    FormatReadOptions options;
    options.Gravity = c.gravity;
    const FormatReadOutcome outcome = CosmosFormat().Read(c.file, fixtures::Lines(c.file), options);
    ASSERT_EQ(outcome.Warning, "");
    ASSERT_EQ(outcome.Records.size(), c.records);
    const TimeHistory& record = *outcome.Records[c.record];
    EXPECT_EQ(record.GetName(), c.name);
    EXPECT_EQ(record.GetDt(), c.dt);
    ASSERT_EQ(record.GetAcceleration().size(), c.count);
    for (const auto& [index, value] : c.samples) {
        EXPECT_EQ(record.GetAcceleration()[index], value) << "sample " << index;
    }
    const RecordInfo& info = record.GetInfo();
    EXPECT_EQ(info.Format, "COSMOS");
    EXPECT_EQ(info.SourceUnits, c.units);
    EXPECT_EQ(info.Station, "XX-TST1 Test Station, Nowhere");
    EXPECT_EQ(info.Component, c.component);
    EXPECT_EQ(info.EventTime, "01/02/2020, 03:04:05.6 UTC (TEST)");
    EXPECT_EQ(info.StatedPeak, c.statedPeak);
}

INSTANTIATE_TEST_SUITE_P(Files, CosmosLayout,
                         ::testing::Values(
                             // 5F15.6 real header, 8F10.5 data whose fields touch, cm/s² / gravity.
                             LayoutCase{"RealHeader5F15CmPerS2",
                                        "cosmos-5f15.v2",
                                        980,
                                        0,
                                        1,
                                        "cosmos-5f15.v2",
                                        0.01,
                                        20,
                                        {{0, 0.5 / 980},
                                         {4, -0.00001 / 980},
                                         {6, -161.962 / 980},
                                         {7, 150.12345 / 980},
                                         {19, 0.25 / 980}},
                                        "cm/s²",
                                        "360",
                                        "-161.962 cm/sec2"},
                             LayoutCase{"GravityInForce",
                                        "cosmos-5f15.v2",
                                        981,
                                        0,
                                        1,
                                        "cosmos-5f15.v2",
                                        0.01,
                                        20,
                                        {{6, -161.962 / 981}},
                                        "cm/s²",
                                        "360",
                                        "-161.962 cm/sec2"},
                             // 6F13.6 real header on 17 lines, 5F12.6 data in g taken as they are,
                             // a 5 ms interval, CRLF and no break at the end.
                             LayoutCase{"RealHeader6F13InG",
                                        "cosmos-6f13.v1",
                                        980,
                                        0,
                                        1,
                                        "cosmos-6f13.v1",
                                        0.005,
                                        20,
                                        {{0, 0.0005}, {6, -0.161962}, {7, 0.150123}, {19, 0.00025}},
                                        "g",
                                        "360",
                                        "-0.162 g"},
                             // Two acceleration channels named by component; the velocity record
                             // after them is left out.
                             LayoutCase{"FirstOfSeveralChannels",
                                        "cosmos-channels.v2",
                                        980,
                                        0,
                                        2,
                                        "cosmos-channels-360.v2",
                                        0.01,
                                        20,
                                        {{6, -161.962 / 980}},
                                        "cm/s²",
                                        "360",
                                        "-161.962 cm/sec2"},
                             LayoutCase{"SecondOfSeveralChannels",
                                        "cosmos-channels.v2",
                                        980,
                                        1,
                                        2,
                                        "cosmos-channels-Up.v2",
                                        0.01,
                                        20,
                                        {{6, -80.981 / 980}, {19, 0.125 / 980}},
                                        "cm/s²",
                                        "Up",
                                        "-80.981 cm/sec2"}),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) {
                             return info.param.title;
                         });

// The line ends and the break at the end change nothing.
TEST(CosmosLineEnds, LfCrLfCrAndNoFinalBreakReadAlike) {
    const std::vector<std::string> lines = fixtures::Lines(Base);
    const FormatReadOutcome reference = CosmosFormat().Read(Base, lines, {});
    ASSERT_EQ(reference.Records.size(), 1U);
    for (const char* newline : {"\n", "\r\n", "\r"}) {
        for (const bool finalBreak : {true, false}) {
            const FormatReadOutcome outcome = CosmosFormat().Read(
                Base, SplitTextLines(fixtures::Rejoin(lines, newline, finalBreak)), {});
            ASSERT_EQ(outcome.Records.size(), 1U) << outcome.Warning;
            EXPECT_EQ(outcome.Records[0]->GetAcceleration(),
                      reference.Records[0]->GetAcceleration());
        }
    }
}

// The end-of-data line may be written without its "/&", or be missing.
TEST(CosmosLineEnds, EndOfDataLineInItsForms) {
    const std::vector<std::string> lines = fixtures::Lines(Base);
    const FormatReadOutcome reference = CosmosFormat().Read(Base, lines, {});
    ASSERT_EQ(reference.Records.size(), 1U);
    for (const char* end : {"End-of-data for Chan  1 acceleration", ""}) {
        std::vector<std::string> edited = lines;
        edited[52] = end;
        const FormatReadOutcome outcome = CosmosFormat().Read(Base, edited, {});
        ASSERT_EQ(outcome.Records.size(), 1U) << outcome.Warning;
        EXPECT_EQ(outcome.Records[0]->GetAcceleration(), reference.Records[0]->GetAcceleration());
    }
}

// ---- Refusals --------------------------------------------------------------

struct RefusalCase {
    const char* title;
    std::string file;
    std::vector<Edit> edits;
    std::string warning;
};

class CosmosRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(CosmosRefusal, GivesOneWarningAndNoRecord) {
    const RefusalCase& c = GetParam();
    std::vector<std::string> lines = fixtures::Lines(c.file);
    for (const Edit& edit : c.edits) {
        edit(lines);
    }
    const FormatReadOutcome outcome = CosmosFormat().Read(c.file, lines, {});
    EXPECT_EQ(outcome.Warning, c.warning);
    EXPECT_TRUE(outcome.Records.empty());
}

// Lines of cosmos-5f15.v2: 1-13 text, 14 integer header line, 15-24 its
// values, 25 real header line, 26-45 its values (5 a line), 46 comment count,
// 47-48 comments, 49 data line, 50-52 data, 53 end of data.
const std::string Line = "FILE: " + Base + ". ERROR Line: ";
const std::string File = "FILE: " + Base + ", WARNING: ";

INSTANTIATE_TEST_SUITE_P(
    Cases, CosmosRefusal,
    ::testing::Values(
        RefusalCase{"Velocity",
                    "cosmos-velocity.v2",
                    {},
                    "FILE: cosmos-velocity.v2, WARNING: cosmos-velocity.v2 holds velocity, not "
                    "acceleration"},
        RefusalCase{"DisplacementParameter",
                    Base,
                    {fixtures::SetColumns(15, 9, "       3")},
                    File + Base + " holds displacement, not acceleration"},
        RefusalCase{"VelocityUnits",
                    Base,
                    {fixtures::SetColumns(15, 17, "       5"),
                     fixtures::SetLine(49, "     20  acceleration pts, approx    0 secs, "
                                           "units=cm/sec(05),Format=(8F10.5)")},
                    File + Base + " holds velocity, not acceleration"},
        RefusalCase{
            "SeveralRecordsNoneAcceleration",
            "cosmos-channels.v2",
            {fixtures::SetColumns(15, 9, "       2"), fixtures::SetColumns(68, 9, "       2")},
            "FILE: cosmos-channels.v2, WARNING: cosmos-channels.v2 holds velocity, not "
            "acceleration"},
        RefusalCase{"IntervalUnknown",
                    "cosmos-no-interval.v2",
                    {},
                    "FILE: cosmos-no-interval.v2, WARNING: the sample interval (real header "
                    "value 62) is not stated"},
        RefusalCase{"IntervalNullOfTheHeader",
                    Base,
                    {fixtures::SetLine(13, "Values used when parameter or data value is "
                                           "unknown/unspecified:   -777, -777.0"),
                     fixtures::SetColumns(38, 16, "    -777.000000")},
                    File + "the sample interval (real header value 62) is not stated"},
        RefusalCase{"IntervalZero",
                    Base,
                    {fixtures::SetColumns(38, 16, "       0.000000")},
                    File + "the sample interval (real header value 62) is 0 ms: it must be "
                           "positive"},
        RefusalCase{"IntervalNegative",
                    Base,
                    {fixtures::SetColumns(38, 16, "     -10.000000")},
                    File + "the sample interval (real header value 62) is -10 ms: it must be "
                           "positive"},
        RefusalCase{"UnknownUnitsCode",
                    "cosmos-units-99.v2",
                    {},
                    "FILE: cosmos-units-99.v2, WARNING: unknown units code 99"},
        RefusalCase{"Counts",
                    Base,
                    {fixtures::SetColumns(15, 17, "      50"), fixtures::SetColumns(49, 60, "50")},
                    File + "its values are raw counts (units code 50), not acceleration"},
        RefusalCase{"UnitsCodesDisagree",
                    Base,
                    {fixtures::SetColumns(15, 17, "       2")},
                    Line + "49. ERROR: the units code of the data line (4) differs from the "
                           "integer header's (2)"},
        RefusalCase{"UnitsNotStated",
                    Base,
                    {fixtures::SetColumns(15, 17, "    -999"),
                     fixtures::SetLine(49, "     20  acceleration pts, approx    0 secs, "
                                           "Format=(8F10.5)")},
                    Line + "49. ERROR: the units of the data are not stated"},
        RefusalCase{"FewerValuesThanStated",
                    Base,
                    {fixtures::SetColumns(49, 1, "     21")},
                    Line + "52. ERROR: the row holds 4 of its 5 values"},
        RefusalCase{"MoreValuesInTheLastRow",
                    Base,
                    {fixtures::SetColumns(49, 1, "     19")},
                    Line + "52. ERROR: more values than the header states (19)"},
        RefusalCase{"MoreRowsThanStated",
                    Base,
                    {fixtures::SetColumns(49, 1, "     16")},
                    Line + "52. ERROR: more values than the header states (16)"},
        RefusalCase{"ValueDoesNotConvert",
                    Base,
                    {fixtures::SetColumns(51, 21, "   1.2.3  ")},
                    Line + "51. ERROR: '1.2.3' is not a valid floating point value"},
        RefusalCase{"BlankField",
                    Base,
                    {fixtures::SetColumns(51, 21, "          ")},
                    Line + "51. ERROR: the row holds 2 of its 8 values"},
        RefusalCase{"TruncatedInTheData",
                    Base,
                    {fixtures::KeepLines(50)},
                    Line + "50. ERROR: the file ends after 8 of 20 values"},
        RefusalCase{"TruncatedInTheIntegerHeader",
                    Base,
                    {fixtures::KeepLines(20)},
                    File + "the file ends inside its integer header"},
        RefusalCase{"TruncatedInTheText",
                    Base,
                    {fixtures::KeepLines(9)},
                    File + "the file ends inside the text header"},
        RefusalCase{"TruncatedBeforeTheData",
                    Base,
                    {fixtures::KeepLines(48)},
                    File + "the file ends before its data"},
        RefusalCase{"NoTextLineCount",
                    Base,
                    {fixtures::SetLine(1, "Corrected acceleration    (Format v01.20) Src: test")},
                    Line + "1. ERROR: the first header line does not state its count of text "
                           "lines (\"with 13 text lines\")"},
        RefusalCase{"NotACosmosHeader",
                    Base,
                    {fixtures::SetLine(1, "Corrected acceleration")},
                    Line + "1. ERROR: expected the first line of a COSMOS header (\"Corrected "
                           "acceleration (Format v01.20 with 13 text lines)\"); found 'Corrected "
                           "acceleration'"},
        RefusalCase{"TextLineCountWrong",
                    Base,
                    {fixtures::SetLine(1, "Corrected acceleration    (Format v01.20 with 12 text "
                                          "lines) Src: test")},
                    Line + "13. ERROR: expected the integer header's line (\"100 Integer-header "
                           "values follow on 10 lines, Format= (10I8)\"); found 'Values used "
                           "when parameter or data value\u2026'"},
        RefusalCase{"RealHeaderLineCountWrong",
                    Base,
                    {fixtures::SetLine(25, " 100 Real-header values follow on  17 lines, "
                                           "Format= (5F15.6)")},
                    Line + "25. ERROR: the real header states 100 values on 17 lines, but its "
                           "format puts them on 20"},
        RefusalCase{"RealHeaderWithoutFormat",
                    Base,
                    {fixtures::SetLine(25, " 100 Real-header values follow on  20 lines")},
                    Line + "25. ERROR: expected the real header's line (\"100 Real-header "
                           "values follow on 20 lines, Format= (5F15.6)\"); found '100 "
                           "Real-header values follow on 20 line\u2026'"},
        RefusalCase{"RealHeaderTooShort",
                    Base,
                    {fixtures::SetLine(25, "  50 Real-header values follow on  10 lines, "
                                           "Format= (5F15.6)")},
                    Line + "25. ERROR: the real header holds 50 values; at least 62 are needed"},
        RefusalCase{"RealHeaderValueDoesNotConvert",
                    Base,
                    {fixtures::SetColumns(30, 1, "          x.5  ")},
                    Line + "30. ERROR: 'x.5' is not a valid floating point value"},
        RefusalCase{"CommentCountTooLarge",
                    Base,
                    {fixtures::SetColumns(46, 1, "  3")},
                    Line + "49. ERROR: comment line 3 of 3 does not start with \"|\""},
        RefusalCase{"NoCommentCount",
                    Base,
                    {fixtures::SetLine(46, "Comment lines follow")},
                    Line + "46. ERROR: expected the count of comment lines (\"2 Comment line(s) "
                           "follow, each starting with a \"|\":\"); found 'Comment lines "
                           "follow'"},
        RefusalCase{"NoDataLine",
                    Base,
                    {fixtures::SetLine(49, "     20  acceleration pts")},
                    Line + "49. ERROR: expected the data line (\"7000 acceleration pts, approx "
                           "70 secs, units=cm/sec2(04),Format=(8F10.5)\"); found '20 "
                           "acceleration pts'"},
        RefusalCase{"TextAfterTheData",
                    Base,
                    {fixtures::InsertLine(53, "trailing words")},
                    Line + "53. ERROR: unexpected text after the 20 values: 'trailing words'"},
        RefusalCase{"BrokenSecondRecord",
                    "cosmos-channels.v2",
                    {fixtures::KeepLines(104)},
                    "FILE: cosmos-channels.v2. ERROR Line: 104. ERROR: the file ends after 16 "
                    "of 20 values"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.title; });

// A NUL byte ends the text: the file is then cut short, and refused as such.
TEST(CosmosRefusal, NulByteCutsTheFileShort) {
    std::string bytes = fixtures::Bytes(Base);
    const std::size_t at = bytes.find("  12.00000");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = '\0';
    const FormatReadOutcome outcome = CosmosFormat().Read(Base, SplitTextLines(bytes), {});
    EXPECT_EQ(outcome.Warning, Line + "50. ERROR: the file ends after 8 of 20 values");
    EXPECT_TRUE(outcome.Records.empty());
}

// ---- Detection -------------------------------------------------------------

TEST(CosmosDetection, EveryFixtureIsRecognisedAsCosmos) {
    for (const char* file : {"cosmos-5f15.v2", "cosmos-6f13.v1", "cosmos-channels.v2",
                             "cosmos-velocity.v2", "cosmos-no-interval.v2"}) {
        EXPECT_EQ(DetectStandardFormat(fixtures::Lines(file)), &CosmosFormat()) << file;
    }
    // Cut short inside the text header: still a COSMOS file (refused as such).
    std::vector<std::string> cut = fixtures::Lines(Base);
    cut.resize(5);
    EXPECT_TRUE(CosmosFormat().Recognises(cut));
}

TEST(CosmosDetection, OtherTextsAreNot) {
    for (const char* text : {
             "0.1 0.2 0.3\n0.4 0.5 0.6\n",
             "Corrected acceleration\n1 2 3\n",
             // The signature on a later line, or without its count.
             "time acc\n(Format v01.20 with 13 text lines)\n0 1\n",
             "Corrected acceleration (Format v01.20) Src\n0.1\n",
             // The count stated, but no integer header where it says.
             "Corrected acceleration (Format v01.20 with 2 text lines)\nline 2\n1 2 3\n",
         }) {
        EXPECT_FALSE(CosmosFormat().Recognises(SplitTextLines(text))) << text;
    }
    EXPECT_FALSE(CosmosFormat().Recognises({}));
}

// Imported as Free Type, a COSMOS file is refused, naming its format.
TEST(CosmosDetection, FreeTypeImportOfACosmosFileIsRefused) {
    ImportRequest request;
    request.Format = RecordFormatId::FreeType;
    const FileImport result = ImportRecordLines(Base, fixtures::Lines(Base), request);
    EXPECT_TRUE(result.Records.empty());
    EXPECT_EQ(result.Warning, Base + " is a COSMOS record: choose \"COSMOS\" under \"File "
                                     "Format\".");
    request.Format.reset();
    EXPECT_EQ(ImportRecordLines(Base, fixtures::Lines(Base), request).Records.size(), 1U);
}

} // namespace

namespace {

// A sample that overflows on its way to g is refused at its line.
TEST(CosmosRefusal, SampleOverflowingInGIsRefusedAtItsLine) {
    FormatReadOptions options;
    options.Gravity = 1e-307;
    const FormatReadOutcome outcome = CosmosFormat().Read(Base, fixtures::Lines(Base), options);
    EXPECT_EQ(outcome.Warning, Line + "50. ERROR: Floating point overflow");
    EXPECT_TRUE(outcome.Records.empty());
}

} // namespace
