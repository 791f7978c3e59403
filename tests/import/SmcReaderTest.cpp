#include "import/SmcReader.h"
#include "import/RecordImport.h"

#include "StandardFixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using fixtures::Edit;

const std::string Base = "smc-corrected.smc";

// ---- Layouts ---------------------------------------------------------------

struct LayoutCase {
    const char* title;
    std::string file;
    double gravity;
    double dt;
    std::size_t count;
    std::vector<std::pair<std::size_t, double>> samples; // index, g
};

class SmcLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(SmcLayout, ReadsRateCountAndGluedValues) {
    const LayoutCase& c = GetParam();
    FormatReadOptions options;
    options.Gravity = c.gravity;
    const FormatReadOutcome outcome = SmcFormat().Read(c.file, fixtures::Lines(c.file), options);
    ASSERT_EQ(outcome.Warning, "");
    ASSERT_EQ(outcome.Records.size(), 1U);
    const TimeHistory& record = *outcome.Records[0];
    EXPECT_EQ(record.GetName(), c.file);
    EXPECT_EQ(record.GetDt(), c.dt);
    ASSERT_EQ(record.GetAcceleration().size(), c.count);
    for (const auto& [index, value] : c.samples) {
        EXPECT_EQ(record.GetAcceleration()[index], value) << "sample " << index;
    }
    const RecordInfo& info = record.GetInfo();
    EXPECT_EQ(info.Format, "SMC");
    EXPECT_EQ(info.SourceUnits, "cm/s²");
    EXPECT_EQ(info.Station, "TST1 Test Station, Nowhere");
    EXPECT_EQ(info.Component, "090");
    EXPECT_EQ(info.EventTime, "2020 1 2 0304 Test event, Nowhere");
    EXPECT_EQ(info.StatedPeak, "104.4 cm/s²");
}

INSTANTIATE_TEST_SUITE_P(
    Files, SmcLayout,
    ::testing::Values(
        // CRLF, 100 samples/s, three comment lines, values that touch
        // ("-2.2223E+0-1.5057E+0"), a last row of three.
        LayoutCase{"CorrectedCrLf",
                   "smc-corrected.smc",
                   980,
                   0.01,
                   19,
                   {{0, 0.19103 / 980},
                    {1, -2.2223 / 980},
                    {2, -1.5057 / 980},
                    {9, 104.4 / 980},
                    {11, 0.00125 / 980},
                    {18, 5.5 / 980}}},
        LayoutCase{"GravityInForce", "smc-corrected.smc", 981, 0.01, 19, {{9, 104.4 / 981}}},
        // 200 samples/s, no comment lines, LF and no break at the end, full rows.
        LayoutCase{"UncorrectedNoComments",
                   "smc-uncorrected.smc",
                   980,
                   0.005,
                   16,
                   {{9, 104.4 / 980}, {15, -3.0 / 980}}}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.title; });

TEST(SmcLineEnds, LfCrLfCrAndNoFinalBreakReadAlike) {
    const std::vector<std::string> lines = fixtures::Lines(Base);
    const FormatReadOutcome reference = SmcFormat().Read(Base, lines, {});
    ASSERT_EQ(reference.Records.size(), 1U);
    for (const char* newline : {"\n", "\r\n", "\r"}) {
        for (const bool finalBreak : {true, false}) {
            const FormatReadOutcome outcome = SmcFormat().Read(
                Base, SplitTextLines(fixtures::Rejoin(lines, newline, finalBreak)), {});
            ASSERT_EQ(outcome.Records.size(), 1U) << outcome.Warning;
            EXPECT_EQ(outcome.Records[0]->GetAcceleration(),
                      reference.Records[0]->GetAcceleration());
        }
    }
}

// ---- Refusals --------------------------------------------------------------

struct RefusalCase {
    const char* title;
    std::string file;
    std::vector<Edit> edits;
    std::string warning;
};

class SmcRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(SmcRefusal, GivesOneWarningAndNoRecord) {
    const RefusalCase& c = GetParam();
    std::vector<std::string> lines = fixtures::Lines(c.file);
    for (const Edit& edit : c.edits) {
        edit(lines);
    }
    const FormatReadOutcome outcome = SmcFormat().Read(c.file, lines, {});
    EXPECT_EQ(outcome.Warning, c.warning);
    EXPECT_TRUE(outcome.Records.empty());
}

// Lines of smc-corrected.smc: 1-11 text, 12-17 integers (8I10; the comment
// count is field 8 of line 13, the sample count field 1 of line 14), 18-27
// reals (5E15.7; the rate is field 2 of line 18), 28-30 comments, 31-33 data.
const std::string Line = "FILE: " + Base + ". ERROR Line: ";
const std::string File = "FILE: " + Base + ", WARNING: ";

INSTANTIATE_TEST_SUITE_P(
    Cases, SmcRefusal,
    ::testing::Values(
        RefusalCase{"UnevenPairs",
                    "smc-uneven.smc",
                    {},
                    "FILE: smc-uneven.smc, WARNING: smc-uneven.smc holds unevenly spaced (time, "
                    "value) pairs digitised from an analog record, without a sampling rate: it "
                    "is not read; resample it to a constant time step first"},
        RefusalCase{"Velocity",
                    "smc-velocity.smc",
                    {},
                    "FILE: smc-velocity.smc, WARNING: smc-velocity.smc holds velocity, not "
                    "acceleration"},
        RefusalCase{"Displacement",
                    Base,
                    {fixtures::SetLine(1, "4 DISPLACEMENT")},
                    File + Base + " holds displacement, not acceleration"},
        RefusalCase{"ResponseSpectra",
                    Base,
                    {fixtures::SetLine(1, "5 RESPONSE SPECTRA")},
                    File + Base + " holds response spectra, not acceleration"},
        RefusalCase{"NotAnSmcType",
                    Base,
                    {fixtures::SetLine(1, "CORRECTED ACCELEROGRAM")},
                    Line + "1. ERROR: the first line does not name an SMC data type (\"2 "
                           "CORRECTED ACCELEROGRAM\"); found 'CORRECTED ACCELEROGRAM'"},
        RefusalCase{"RateZero",
                    Base,
                    {fixtures::SetColumns(18, 16, "  0.0000000E+00")},
                    Line + "18. ERROR: the sampling rate (real header value 2) is 0 samples/s: "
                           "it must be positive"},
        RefusalCase{"RateNegative",
                    Base,
                    {fixtures::SetColumns(18, 16, " -0.1000000E+03")},
                    Line + "18. ERROR: the sampling rate (real header value 2) is -100 "
                           "samples/s: it must be positive"},
        RefusalCase{"CountMissing",
                    Base,
                    {fixtures::SetColumns(14, 1, "    -32768")},
                    Line + "14. ERROR: the count of samples (integer header value 17) is -32768: "
                           "it must be positive"},
        RefusalCase{"FewerValuesThanStated",
                    Base,
                    {fixtures::SetColumns(14, 1, "        20")},
                    Line + "33. ERROR: the row holds 3 of its 4 values"},
        RefusalCase{"MoreValuesInTheLastRow",
                    Base,
                    {fixtures::SetColumns(14, 1, "        18")},
                    Line + "33. ERROR: more values than the header states (18)"},
        RefusalCase{"MoreRowsThanStated",
                    Base,
                    {fixtures::SetColumns(14, 1, "        16")},
                    Line + "33. ERROR: more values than the header states (16)"},
        RefusalCase{"ValueDoesNotConvert",
                    Base,
                    {fixtures::SetColumns(32, 11, " 1.0440F+2")},
                    Line + "32. ERROR: '1.0440F+2' is not a valid floating point value"},
        RefusalCase{"CommentCountTooLarge",
                    Base,
                    {fixtures::SetColumns(13, 71, "         4")},
                    Line + "31. ERROR: comment line 4 of 4 does not start with \"|\""},
        RefusalCase{"CommentCountNegative",
                    Base,
                    {fixtures::SetColumns(13, 71, "        -2")},
                    Line + "13. ERROR: the count of comment lines (integer header value 16) is "
                           "-2"},
        RefusalCase{"IntegerHeaderGarbled",
                    Base,
                    {fixtures::SetColumns(12, 11, "      20x0")},
                    Line + "12. ERROR: integer header: '20x0' is not a valid floating point "
                           "value"},
        RefusalCase{"RealHeaderLineMissing",
                    Base,
                    {fixtures::EraseLine(20)},
                    Line + "27. ERROR: real header: '|' is not a valid floating point value"},
        RefusalCase{"TruncatedInTheHeader",
                    Base,
                    {fixtures::KeepLines(20)},
                    File + "the file ends inside its header"},
        RefusalCase{"TruncatedInTheComments",
                    Base,
                    {fixtures::KeepLines(28)},
                    File + "the file ends inside its comment lines"},
        RefusalCase{"TruncatedInTheData",
                    Base,
                    {fixtures::KeepLines(32)},
                    Line + "32. ERROR: the file ends after 16 of 19 values"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.title; });

TEST(SmcRefusal, NulByteCutsTheFileShort) {
    std::string bytes = fixtures::Bytes(Base);
    const std::size_t at = bytes.find(" 4.5000E+1");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = '\0';
    const FormatReadOutcome outcome = SmcFormat().Read(Base, SplitTextLines(bytes), {});
    EXPECT_EQ(outcome.Warning, Line + "31. ERROR: the file ends after 8 of 19 values");
    EXPECT_TRUE(outcome.Records.empty());
}

// ---- Detection -------------------------------------------------------------

TEST(SmcDetection, EveryFixtureIsRecognisedAsSmc) {
    for (const char* file :
         {"smc-corrected.smc", "smc-uncorrected.smc", "smc-uneven.smc", "smc-velocity.smc"}) {
        EXPECT_EQ(DetectStandardFormat(fixtures::Lines(file)), &SmcFormat()) << file;
    }
    std::vector<std::string> cut = fixtures::Lines(Base);
    cut.resize(4);
    EXPECT_TRUE(SmcFormat().Recognises(cut));
}

TEST(SmcDetection, OtherTextsAreNot) {
    std::vector<std::string> notIntegers = fixtures::Lines(Base);
    notIntegers[11] = "0.1 0.2 0.3";
    EXPECT_FALSE(SmcFormat().Recognises(notIntegers));
    for (const char* text : {
             "0.1 0.2 0.3\n0.4 0.5 0.6\n",
             "CORRECTED ACCELEROGRAM\n0.1\n",
             "2 CORRECTED ACCELEROGRAM OF SOMETHING\n0.1\n",
             "12 CORRECTED ACCELEROGRAM\n0.1\n",
             "1 2\n3 4\n",
         }) {
        EXPECT_FALSE(SmcFormat().Recognises(SplitTextLines(text))) << text;
    }
    EXPECT_FALSE(SmcFormat().Recognises({}));
}

TEST(SmcDetection, FreeTypeImportOfAnSmcFileIsRefused) {
    ImportRequest request;
    request.Format = RecordFormatId::FreeType;
    const FileImport result = ImportRecordLines(Base, fixtures::Lines(Base), request);
    EXPECT_TRUE(result.Records.empty());
    EXPECT_EQ(result.Warning, Base + " is an SMC record: choose \"SMC\" under \"File Format\".");
}

} // namespace

namespace {

TEST(SmcRefusal, SampleOverflowingInGIsRefusedAtItsLine) {
    FormatReadOptions options;
    options.Gravity = 1e-307;
    const FormatReadOutcome outcome = SmcFormat().Read(Base, fixtures::Lines(Base), options);
    EXPECT_EQ(outcome.Warning, Line + "32. ERROR: Floating point overflow");
    EXPECT_TRUE(outcome.Records.empty());
}

} // namespace
