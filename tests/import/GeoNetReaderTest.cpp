#include "import/GeoNetReader.h"
#include "import/RecordImport.h"

#include "StandardFixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using fixtures::Edit;

const std::string Base = "20200102_030405_TST1_20.V2A";

// mm/s² as g: divided by 10, then by the gravity in force (cm/s²).
double FromMm(double value, double gravity = 980) {
    return value / 10.0 / gravity;
}

// ---- Layouts ---------------------------------------------------------------

struct ComponentCase {
    std::string name;
    std::string component;
    std::string statedPeak;
    std::vector<std::pair<std::size_t, double>> samples; // index, g
};

struct LayoutCase {
    const char* title;
    std::string file;
    double gravity;
    double dt;
    std::vector<ComponentCase> components;
};

class GeoNetLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(GeoNetLayout, GivesOneRecordPerComponent) {
    const LayoutCase& c = GetParam();
    FormatReadOptions options;
    options.Gravity = c.gravity;
    const FormatReadOutcome outcome = GeoNetFormat().Read(c.file, fixtures::Lines(c.file), options);
    ASSERT_EQ(outcome.Warning, "");
    ASSERT_EQ(outcome.Records.size(), c.components.size());
    for (std::size_t k = 0; k < c.components.size(); ++k) {
        const ComponentCase& expected = c.components[k];
        const TimeHistory& record = *outcome.Records[k];
        EXPECT_EQ(record.GetName(), expected.name);
        EXPECT_EQ(record.GetDt(), c.dt);
        ASSERT_EQ(record.GetAcceleration().size(), 23U);
        for (const auto& [index, value] : expected.samples) {
            EXPECT_EQ(record.GetAcceleration()[index], value) << expected.name << " " << index;
        }
        const RecordInfo& info = record.GetInfo();
        EXPECT_EQ(info.Format, "GeoNet");
        EXPECT_EQ(info.SourceUnits, "mm/s²");
        EXPECT_EQ(info.Station, "TST1 Test Station Nowhere");
        EXPECT_EQ(info.Component, expected.component);
        EXPECT_EQ(info.EventTime, "2020 January 2 03:04:05 UT");
        EXPECT_EQ(info.StatedPeak, expected.statedPeak);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, GeoNetLayout,
    ::testing::Values(
        // Resampled to 0.02 s (field 6 of real line 3), not the recorder's
        // 0.005 s (field 5); "1234.50-1234.56" is two fields.
        LayoutCase{
            "V2AThreeComponents",
            Base,
            980,
            0.02,
            {{"20200102_030405_TST1_20-S16W.V2A",
              "S16W",
              "-1234.6 mm/s/s",
              {{0, FromMm(0.5)}, {5, FromMm(1234.5)}, {6, FromMm(-1234.56)}, {22, FromMm(0.12)}}},
             {"20200102_030405_TST1_20-S74E.V2A", "S74E", "-617.3 mm/s/s", {{6, FromMm(-617.28)}}},
             {"20200102_030405_TST1_20-Up.V2A",
              "Up",
              "-308.6 mm/s/s",
              {{6, FromMm(-308.64)}, {22, FromMm(0.03)}}}}},
        LayoutCase{"GravityInForce",
                   Base,
                   981,
                   0.02,
                   {{"20200102_030405_TST1_20-S16W.V2A",
                     "S16W",
                     "-1234.6 mm/s/s",
                     {{6, FromMm(-1234.56, 981)}}},
                    {"20200102_030405_TST1_20-S74E.V2A", "S74E", "-617.3 mm/s/s", {}},
                    {"20200102_030405_TST1_20-Up.V2A", "Up", "-308.6 mm/s/s", {}}}},
        // Uncorrected: the recorder's interval, no velocity and displacement
        // blocks; CRLF and no break at the end.
        LayoutCase{
            "V1ATwoComponentsCrLf",
            "20200102_030405_TST1_20.V1A",
            980,
            0.005,
            {{"20200102_030405_TST1_20-N28W.V1A",
              "N28W",
              "-1234.6 mm/s/s",
              {{6, FromMm(-1234.56)}}},
             {"20200102_030405_TST1_20-N62E.V1A", "N62E", "-1234.6 mm/s/s", {{22, FromMm(0.12)}}}}},
        // A label met twice: the second is made unique by its position.
        LayoutCase{"RepeatedLabel",
                   "20200102_030405_TST2_20.V2A",
                   980,
                   0.02,
                   {{"20200102_030405_TST2_20-N00E.V2A", "N00E", "-1234.6 mm/s/s", {}},
                    {"20200102_030405_TST2_20-N00E2.V2A", "N00E", "-1234.6 mm/s/s", {}},
                    {"20200102_030405_TST2_20-Up.V2A", "Up", "-1234.6 mm/s/s", {}}}}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.title; });

// "Raw readings in units of 0.10 mm/s/s": each reading is that many mm/s².
TEST(GeoNetLayout, ReadingUnitOfAnUncorrectedFileScalesTheSamples) {
    std::vector<std::string> lines = fixtures::Lines("20200102_030405_TST1_20.V1A");
    lines[10] = "Raw readings in units of 0.10 mm/s/s  at intervals of 0.005 s";
    const FormatReadOutcome outcome = GeoNetFormat().Read(Base, lines, {});
    ASSERT_EQ(outcome.Records.size(), 2U) << outcome.Warning;
    EXPECT_EQ(outcome.Records[0]->GetAcceleration()[6], FromMm(-1234.56 * 0.1));
    EXPECT_EQ(outcome.Records[1]->GetAcceleration()[6], FromMm(-1234.56));
}

TEST(GeoNetLineEnds, LfCrLfCrAndNoFinalBreakReadAlike) {
    const std::vector<std::string> lines = fixtures::Lines(Base);
    const FormatReadOutcome reference = GeoNetFormat().Read(Base, lines, {});
    ASSERT_EQ(reference.Records.size(), 3U);
    for (const char* newline : {"\n", "\r\n", "\r"}) {
        for (const bool finalBreak : {true, false}) {
            const FormatReadOutcome outcome = GeoNetFormat().Read(
                Base, SplitTextLines(fixtures::Rejoin(lines, newline, finalBreak)), {});
            ASSERT_EQ(outcome.Records.size(), 3U) << outcome.Warning;
            for (std::size_t k = 0; k < 3; ++k) {
                EXPECT_EQ(outcome.Records[k]->GetAcceleration(),
                          reference.Records[k]->GetAcceleration());
            }
        }
    }
}

// ---- Refusals --------------------------------------------------------------

struct RefusalCase {
    const char* title;
    std::vector<Edit> edits;
    std::string warning;
};

class GeoNetRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(GeoNetRefusal, GivesOneWarningAndNoRecordOfTheFile) {
    const RefusalCase& c = GetParam();
    std::vector<std::string> lines = fixtures::Lines(Base);
    for (const Edit& edit : c.edits) {
        edit(lines);
    }
    const FormatReadOutcome outcome = GeoNetFormat().Read(Base, lines, {});
    EXPECT_EQ(outcome.Warning, c.warning);
    EXPECT_TRUE(outcome.Records.empty());
}

// Lines of the V2A fixture, 35 a component (the second from 36, the third
// from 71): 1-16 text (10 "Number of points", 13 "Component"), 17-20
// integers (10I8; line 20 fields 4-6 the block counts), 21-26 reals (line 23
// field 6 the interval), 27-29 acceleration, 30-32 velocity, 33-35
// displacement.
const std::string Line = "FILE: " + Base + ". ERROR Line: ";
const std::string File = "FILE: " + Base + ", WARNING: ";

INSTANTIATE_TEST_SUITE_P(
    Cases, GeoNetRefusal,
    ::testing::Values(
        RefusalCase{"SecondComponentCutShort",
                    {fixtures::KeepLines(63)},
                    File + "component 2: the file ends after 20 of 23 values"},
        RefusalCase{"SecondComponentValueDoesNotConvert",
                    {fixtures::SetColumns(63, 1, "    x.xx")},
                    Line + "63. ERROR: component 2: 'x.xx' is not a valid floating point value"},
        RefusalCase{"ThirdComponentVelocityCutShort",
                    {fixtures::KeepLines(101)},
                    File + "component 3: the file ends inside its velocity block"},
        RefusalCase{"BlankLineInTheDisplacementBlock",
                    {fixtures::SetLine(34, "")},
                    Line + "34. ERROR: component 1: a blank line inside its displacement block"},
        RefusalCase{"ThirdComponentHeaderCutShort",
                    {fixtures::KeepLines(85)},
                    File + "the file ends inside the header of component 3"},
        RefusalCase{"PointsDisagree",
                    {fixtures::SetLine(10, "Number of points  24    Duration 0.44 sec")},
                    Line + "10. ERROR: component 1: the header states 24 points here but 23 in "
                           "the integer header"},
        RefusalCase{"PointsLineMissing",
                    {fixtures::SetLine(10, "Points 23")},
                    Line + "10. ERROR: component 1: expected \"Number of points  5800\"; found "
                           "'Points 23'"},
        RefusalCase{"IntervalZero",
                    {fixtures::SetColumns(23, 41, "  0.0000")},
                    Line + "23. ERROR: component 1: the sample interval (real header line 3, "
                           "field 6) is 0 s: it must be positive"},
        RefusalCase{"IntervalNegative",
                    {fixtures::SetColumns(58, 41, " -0.0200")},
                    Line + "58. ERROR: component 2: the sample interval (real header line 3, "
                           "field 6) is -0.02 s: it must be positive"},
        RefusalCase{"CountNotACount",
                    {fixtures::SetColumns(20, 25, "      -5")},
                    Line + "20. ERROR: component 1: the counts of the acceleration, velocity "
                           "and displacement blocks (fields 4 to 6) are not counts"},
        RefusalCase{"NoAccelerationValues",
                    {fixtures::SetColumns(20, 25, "       0")},
                    Line + "20. ERROR: component 1: the acceleration block holds no values (field "
                           "4 is 0)"},
        RefusalCase{"FewerValuesThanStated",
                    {fixtures::SetColumns(20, 25, "      24"),
                     fixtures::SetLine(10, "Number of points  24    Duration 0.46 sec")},
                    Line + "29. ERROR: component 1: the row holds 3 of its 4 values"},
        RefusalCase{"MoreValuesInTheLastRow",
                    {fixtures::SetColumns(29, 25, "    1.00")},
                    Line + "29. ERROR: component 1: more values than the header states (23)"},
        RefusalCase{"MoreRowsThanStated",
                    {fixtures::InsertLine(36, " 0.00001")},
                    Line + "36. ERROR: component 1: more values than the header states (23)"},
        RefusalCase{"ComponentLineMissing",
                    {fixtures::SetLine(48, "Direction S74E")},
                    Line + "48. ERROR: component 2: expected \"Component S16W\"; found "
                           "'Direction S74E'"},
        RefusalCase{"IntegerHeaderGarbled",
                    {fixtures::SetColumns(17, 1, "    20x8")},
                    Line + "17. ERROR: component 1: integer header: '20x8' is not a valid "
                           "floating point value"},
        RefusalCase{"NotAGeoNetHeader",
                    {fixtures::SetLine(1, "Corrected accelerogram")},
                    Line + "1. ERROR: component 1: expected its first header line (\"Corrected "
                           "accelerogram ... GNS Science\"); found 'Corrected accelerogram'"},
        RefusalCase{"TextAfterTheLastComponent",
                    {fixtures::InsertLine(106, "trailing words")},
                    Line + "106. ERROR: component 4: expected its first header line "
                           "(\"Corrected accelerogram ... GNS Science\"); found 'trailing "
                           "words'"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.title; });

TEST(GeoNetRefusal, NulByteInTheSecondComponentRefusesTheFile) {
    std::string bytes = fixtures::Bytes(Base);
    const std::size_t second = bytes.find("Component S74E");
    const std::size_t at = bytes.find("-617.28", second);
    ASSERT_NE(at, std::string::npos);
    bytes[at] = '\0';
    const FormatReadOutcome outcome = GeoNetFormat().Read(Base, SplitTextLines(bytes), {});
    EXPECT_EQ(outcome.Warning, Line + "62. ERROR: component 2: the row holds 6 of its 10 values");
    EXPECT_TRUE(outcome.Records.empty());
}

// ---- Detection -------------------------------------------------------------

TEST(GeoNetDetection, EveryFixtureIsRecognisedAsGeoNet) {
    for (const char* file : {"20200102_030405_TST1_20.V2A", "20200102_030405_TST1_20.V1A",
                             "20200102_030405_TST2_20.V2A"}) {
        EXPECT_EQ(DetectStandardFormat(fixtures::Lines(file)), &GeoNetFormat()) << file;
    }
    std::vector<std::string> cut = fixtures::Lines(Base);
    cut.resize(6);
    EXPECT_TRUE(GeoNetFormat().Recognises(cut));
}

TEST(GeoNetDetection, OtherTextsAreNot) {
    for (const char* text : {
             "0.1 0.2 0.3\n0.4 0.5 0.6\n",
             "Corrected accelerogram\n1 2 3\n",
             "GNS Science data\n1 2 3\n",
             "time acc\nCorrected accelerogram X GNS Science\n",
         }) {
        EXPECT_FALSE(GeoNetFormat().Recognises(SplitTextLines(text))) << text;
    }
    std::vector<std::string> noPoints = fixtures::Lines(Base);
    noPoints[9] = "Points 23";
    EXPECT_FALSE(GeoNetFormat().Recognises(noPoints));
    EXPECT_FALSE(GeoNetFormat().Recognises({}));
}

TEST(GeoNetDetection, ImportGivesEveryComponentIntegrated) {
    ImportRequest request;
    const FileImport result = ImportRecordLines(Base, fixtures::Lines(Base), request);
    ASSERT_EQ(result.Records.size(), 3U) << result.Warning;
    for (const auto& record : result.Records) {
        EXPECT_TRUE(record->IsIntegrated());
        EXPECT_EQ(record->GetVelocity().size(), 23U);
    }
    request.Format = RecordFormatId::FreeType;
    EXPECT_EQ(ImportRecordLines(Base, fixtures::Lines(Base), request).Warning,
              Base + " is a GeoNet record: choose \"GeoNet\" under \"File Format\".");
}

} // namespace

namespace {

TEST(GeoNetRefusal, SampleOverflowingInGIsRefusedAtItsLine) {
    FormatReadOptions options;
    options.Gravity = 1e-307;
    const FormatReadOutcome outcome = GeoNetFormat().Read(Base, fixtures::Lines(Base), options);
    EXPECT_EQ(outcome.Warning, Line + "27. ERROR: component 1: Floating point overflow");
    EXPECT_TRUE(outcome.Records.empty());
}

} // namespace
