#include "import/PeerNgaReader.h"
#include "import/RecordImport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const std::string kFixtures = std::string(VORSEN_SOURCE_DIR) + "/tests/import/fixtures/";

std::vector<std::string> FixtureLines(const std::string& name) {
    std::vector<std::string> lines;
    std::string detail;
    EXPECT_TRUE(LoadTextLines(kFixtures + name, lines, detail)) << detail;
    return lines;
}

FormatReadOutcome Read(const std::string& name, const std::vector<std::string>& lines,
                       double gravity = 980) {
    FormatReadOptions options;
    options.Gravity = gravity;
    return PeerNgaFormat().Read(name, lines, options);
}

// Sample k of every fixture of tests/import/fixtures/peer.py, in the file's units.
double FixtureSample(int k) {
    return (k % 7 - 3) / 32.0;
}

struct LayoutCase {
    const char* file;
    double dt;
    int count;
    double perUnit; // g per unit of the file's samples
    const char* units;
    const char* station;
    const char* component;
    const char* eventTime;
};

class PeerLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PeerLayout, ReadsEverySampleWithTheHeadersStep) {
    const LayoutCase& c = GetParam();
    const FormatReadOutcome outcome = Read(c.file, FixtureLines(c.file));
    ASSERT_EQ(outcome.Warning, "");
    ASSERT_EQ(outcome.Records.size(), 1U);
    const TimeHistory& record = *outcome.Records[0];
    EXPECT_EQ(record.GetName(), c.file);
    EXPECT_EQ(record.GetDt(), c.dt);
    ASSERT_EQ(record.Count(), c.count);
    for (int k = 0; k < c.count; ++k) {
        EXPECT_DOUBLE_EQ(record.GetAcceleration()[k], FixtureSample(k) * c.perUnit) << k;
    }
    const RecordInfo& info = record.GetInfo();
    EXPECT_EQ(info.Format, "PEER NGA");
    EXPECT_EQ(info.SourceUnits, c.units);
    EXPECT_EQ(info.Station, c.station);
    EXPECT_EQ(info.Component, c.component);
    EXPECT_EQ(info.EventTime, c.eventTime);
    EXPECT_EQ(info.StatedPeak, "");
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, PeerLayout,
    ::testing::Values(
        // NGA-West2: "NPTS=     23, DT=   0.005 SEC" with trailing blanks, 5 a row.
        LayoutCase{"peer-west2.AT2", 0.005, 23, 1, "g", "Vorsen Hill - North Gate", "90",
                   "3/14/2015"},
        // NGA-West1: ".0100 SEC," and "-.9375000E-01", CR LF line ends.
        LayoutCase{"peer-west1-crlf.AT2", 0.01, 12, 1, "g", "Old Mill Road", "67", "10/18/1989"},
        // 8F10.5 rows, "(g)", free text on line 2, no newline at the end.
        LayoutCase{"peer-8f10.AT2", 0.02, 19, 1, "g", "", "", ""},
        // The older count line "  10    0.01000    NPTS, DT".
        LayoutCase{"peer-numbers-first.at2", 0.01, 10, 1, "g", "TEST SITE", "360", "01/17/94 1231"},
        // DT before NPTS, samples in CM/S/S (400 x the pattern).
        LayoutCase{"peer-cms2.AT2", 0.01, 9, 400 / 980.0, "cm/s²", "Cm Station", "UP", "1/2/2003"}),
    [](const auto& info) {
        std::string name = info.param.file;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) {
                ch = '_';
            }
        }
        return name;
    });

std::string Header(const std::string& line3, const std::string& line4) {
    return "PEER NGA STRONG MOTION DATABASE RECORD\n"
           "90000001, 3/14/2015, Vorsen Hill, 90\n" +
           line3 + "\n" + line4 + "\n";
}

const std::string kG = "ACCELERATION TIME SERIES IN UNITS OF G";

struct CountLineCase {
    const char* line4;
    double dt;
    int count;
};

class PeerCountLine : public ::testing::TestWithParam<CountLineCase> {};

TEST_P(PeerCountLine, TakesNptsAndDtByKeyword) {
    const CountLineCase& c = GetParam();
    const FormatReadOutcome outcome =
        Read("R.AT2", SplitTextLines(Header(kG, c.line4) + "0.1 0.2 0.3\n0.4\n"));
    ASSERT_EQ(outcome.Warning, "");
    ASSERT_EQ(outcome.Records.size(), 1U);
    EXPECT_EQ(outcome.Records[0]->GetDt(), c.dt);
    EXPECT_EQ(outcome.Records[0]->Count(), c.count);
}

INSTANTIATE_TEST_SUITE_P(Variants, PeerCountLine,
                         ::testing::Values(CountLineCase{"NPTS=      4, DT=   0.005 SEC   ", 0.005,
                                                         4},
                                           CountLineCase{"NPTS=   4, DT=   .0050 SEC,", 0.005, 4},
                                           CountLineCase{"NPTS=  4, DT= .02000 SEC", 0.02, 4},
                                           CountLineCase{"4 0.00500 NPTS, DT", 0.005, 4},
                                           CountLineCase{"DT= 0.01 SEC, NPTS= 4", 0.01, 4},
                                           CountLineCase{"npts=4,dt=0.01sec", 0.01, 4},
                                           CountLineCase{"NPTS: 4  DT: 0.01", 0.01, 4}));

struct UnitsCase {
    const char* line3;
    double gravity;
    double perUnit; // g per unit of the file
    const char* units;
};

class PeerUnits : public ::testing::TestWithParam<UnitsCase> {};

TEST_P(PeerUnits, ConvertsToGWithTheGravityInForce) {
    const UnitsCase& c = GetParam();
    const FormatReadOutcome outcome = Read(
        "R.AT2", SplitTextLines(Header(c.line3, "NPTS= 2, DT= 0.01") + "50 -100\n"), c.gravity);
    ASSERT_EQ(outcome.Warning, "");
    const TimeHistory& record = *outcome.Records.at(0);
    EXPECT_DOUBLE_EQ(record.GetAcceleration()[0], 50 * c.perUnit);
    EXPECT_DOUBLE_EQ(record.GetAcceleration()[1], -100 * c.perUnit);
    EXPECT_EQ(record.GetInfo().SourceUnits, c.units);
}

INSTANTIATE_TEST_SUITE_P(
    Units, PeerUnits,
    ::testing::Values(UnitsCase{"ACCELERATION TIME SERIES IN UNITS OF G", 980, 1, "g"},
                      UnitsCase{"The units are (g)", 980, 1, "g"},
                      UnitsCase{"ACCELERATION TIME SERIES", 980, 1, "g"},
                      UnitsCase{"ACCELERATION TIME SERIES IN UNITS OF CM/S/S", 980, 1 / 980.0,
                                "cm/s²"},
                      UnitsCase{"ACCELERATION IN UNITS OF CM/SEC2", 981, 1 / 981.0, "cm/s²"},
                      UnitsCase{"ACCELERATION IN UNITS OF GAL", 980, 1 / 980.0, "cm/s²"},
                      UnitsCase{"ACCELERATION IN UNITS OF MM/S/S", 980, 0.1 / 980, "mm/s²"},
                      UnitsCase{"ACCELERATION IN UNITS OF M/S^2", 980, 100 / 980.0, "m/s²"},
                      UnitsCase{"ACCELERATION TIME SERIES IN CM/S**2", 980, 1 / 980.0, "cm/s²"}));

struct RefusalCase {
    const char* title;
    std::string text;
    std::string warning;
};

class PeerRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(PeerRefusal, GivesOneWarningAndNoRecord) {
    const RefusalCase& c = GetParam();
    const FormatReadOutcome outcome = Read("R.AT2", SplitTextLines(c.text));
    EXPECT_EQ(outcome.Warning, c.warning);
    EXPECT_TRUE(outcome.Records.empty());
}

const std::string kLine = "FILE: R.AT2. ERROR Line: ";
const std::string kFile = "FILE: R.AT2, WARNING: ";

INSTANTIATE_TEST_SUITE_P(
    Cases, PeerRefusal,
    ::testing::Values(
        RefusalCase{"headerCut", "PEER NGA STRONG MOTION DATABASE RECORD\nx, 1/1/2000, S, 90\n",
                    kFile + "the file ends inside the 4 header lines of a PEER NGA record"},
        RefusalCase{"noNpts", Header(kG, "DT= 0.01 SEC") + "0.1\n",
                    kLine + "4. ERROR: the header gives no number of points (NPTS=)"},
        RefusalCase{"noDt", Header(kG, "NPTS= 1, DT=") + "0.1\n",
                    kLine + "4. ERROR: the header gives no time step (DT=)"},
        RefusalCase{"dtDecimalComma", Header(kG, "NPTS= 1, DT= 0,01 SEC") + "0.1\n",
                    kLine + "4. ERROR: DT '0,01' is not a number"},
        RefusalCase{"nptsGarbled", Header(kG, "NPTS= 1O0, DT= 0.01 SEC") + "0.1\n",
                    kLine + "4. ERROR: NPTS '1O0' is not a number"},
        RefusalCase{"dtZero", Header(kG, "NPTS= 1, DT= 0.000 SEC") + "0.1\n",
                    kLine + "4. ERROR: the time step DT = 0 s is not positive"},
        RefusalCase{"dtNegative", Header(kG, "NPTS= 1, DT= -0.01 SEC") + "0.1\n",
                    kLine + "4. ERROR: the time step DT = -0.01 s is not positive"},
        RefusalCase{"dtSentinel", Header(kG, "NPTS= 1, DT= -999. SEC") + "0.1\n",
                    kLine + "4. ERROR: the time step DT = -999 s is not positive"},
        RefusalCase{"nptsFraction", Header(kG, "NPTS= 2.5, DT= 0.01") + "0.1 0.2\n",
                    kLine + "4. ERROR: NPTS = 2.5 is not a positive whole number of points"},
        RefusalCase{"nptsZero", Header(kG, "NPTS= 0, DT= 0.01") + "\n",
                    kLine + "4. ERROR: NPTS = 0 is not a positive whole number of points"},
        RefusalCase{"velocity",
                    Header("VELOCITY TIME SERIES IN UNITS OF CM/SEC", "NPTS= 1, DT= 0.01") +
                        "0.1\n",
                    kLine + "3. ERROR: the file holds velocity, not acceleration"},
        RefusalCase{"displacement",
                    Header("DISPLACEMENT TIME SERIES IN UNITS OF CM", "NPTS= 1, DT= 0.01") +
                        "0.1\n",
                    kLine + "3. ERROR: the file holds displacement, not acceleration"},
        RefusalCase{"unknownUnits",
                    Header("ACCELERATION TIME SERIES IN UNITS OF FT/S/S", "NPTS= 1, DT= 0.01") +
                        "0.1\n",
                    kLine + "3. ERROR: unknown units 'FT/S/S': expected G, cm/s², mm/s² or m/s²"},
        RefusalCase{"badNumber", Header(kG, "NPTS= 4, DT= 0.01") + "0.1 0.2\n0.3 O.4\n",
                    kLine + "6. ERROR: 'O.4' is not a valid floating point value"},
        RefusalCase{"overflowInG",
                    Header("ACCELERATION IN UNITS OF M/S^2", "NPTS= 3, DT= 0.01") +
                        "0.1 0.2\n1e307\n",
                    kLine + "6. ERROR: Floating point overflow"},
        RefusalCase{"moreValues", Header(kG, "NPTS= 3, DT= 0.01") + "0.1 0.2\n0.3 0.4\n",
                    kLine + "6. ERROR: more values than the header states (3)"},
        RefusalCase{"fewerValues", Header(kG, "NPTS= 5, DT= 0.01") + "0.1 0.2\n0.3 0.4",
                    kFile + "the file holds 4 values, fewer than its header states (NPTS = 5)"},
        // A damaged count reserves nothing before the values are there.
        RefusalCase{"hugeCount", Header(kG, "NPTS= 900000000, DT= 0.01") + "0.1 0.2\n",
                    kFile + "the file holds 2 values, fewer than its header states (NPTS = "
                            "900000000)"},
        RefusalCase{"noValues", Header(kG, "NPTS= 5, DT= 0.01"),
                    kFile + "the file holds 0 values, fewer than its header states (NPTS = 5)"},
        // The text ends at a NUL character: what follows it is not read.
        RefusalCase{"nulEndsText",
                    Header(kG, "NPTS= 4, DT= 0.01") + "0.1 0.2\n0.3" + std::string(1, '\0') +
                        " 0.4\n",
                    kFile + "the file holds 3 values, fewer than its header states (NPTS = 4)"}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(PeerLineEnds, LfCrlfCrAndNoFinalBreakGiveTheSameSamples) {
    const std::vector<std::string> texts = {
        Header(kG, "NPTS= 3, DT= 0.01") + "0.1 0.2\n0.3\n",
        "T\r\nx, 1/1/2000, S, 90\r\n" + kG + "\r\nNPTS= 3, DT= 0.01\r\n0.1 0.2\r\n0.3\r\n",
        "T\rx, 1/1/2000, S, 90\r" + kG + "\rNPTS= 3, DT= 0.01\r0.1 0.2\r0.3",
        Header(kG, "NPTS= 3, DT= 0.01") + "0.1 0.2\n0.3"};
    for (const std::string& text : texts) {
        const FormatReadOutcome outcome = Read("R.AT2", SplitTextLines(text));
        ASSERT_EQ(outcome.Warning, "") << text;
        EXPECT_EQ(outcome.Records.at(0)->GetAcceleration(), (DOUBLEVECTOR{0.1, 0.2, 0.3}));
    }
}

struct DetectionCase {
    const char* title;
    std::string text;
    bool peer;
};

class PeerDetection : public ::testing::TestWithParam<DetectionCase> {};

TEST_P(PeerDetection, RecognisesTheHeaderSignatureOnly) {
    const DetectionCase& c = GetParam();
    const std::vector<std::string> lines = SplitTextLines(c.text);
    EXPECT_EQ(PeerNgaFormat().Recognises(lines), c.peer);
    const RecordFormat* detected = DetectStandardFormat(lines);
    if (c.peer) {
        ASSERT_NE(detected, nullptr);
        EXPECT_EQ(detected->Id(), RecordFormatId::PeerNga);
    } else {
        EXPECT_TRUE(detected == nullptr || detected->Id() != RecordFormatId::PeerNga);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PeerDetection,
    ::testing::Values(
        DetectionCase{"nga", Header(kG, "NPTS= 2, DT= 0.01") + "0.1 0.2\n", true},
        DetectionCase{"olderCountLine", Header(kG, "2 0.01 NPTS, DT") + "0.1 0.2\n", true},
        DetectionCase{
            "velocityFileToRefuse",
            Header("VELOCITY TIME SERIES IN UNITS OF CM/SEC", "NPTS= 1, DT= 0.01") + "1\n", true},
        DetectionCase{"garbledNumbersStillPeer", Header(kG, "NPTS= ?, DT= ?") + "0.1\n", true},
        DetectionCase{"singleColumn", "0.1\n0.2\n0.3\n0.4\n0.5\n", false},
        DetectionCase{"csvWithHeader", "time,acc\n0,0.1\n0.01,0.2\n0.02,0.3\n", false},
        DetectionCase{"multiColumnRows",
                      "0.1 0.2 0.3 0.4 0.5\n0.1 0.2 0.3 0.4 0.5\n"
                      "0.1 0.2 0.3 0.4 0.5\n0.1 0.2 0.3 0.4 0.5\n",
                      false},
        DetectionCase{"keywordsOnAnotherLine",
                      "NPTS= 2, DT= 0.01\n" + kG + "\ntitle\nmore\n0.1 0.2\n", false},
        DetectionCase{"countLineWithoutQuantity",
                      "title\nevent\nsome words\nNPTS= 2, DT= 0.01\n0.1 0.2\n", false},
        DetectionCase{"tooShort", "a\nb\n", false}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(PeerImport, DetectedFileIsReadAndIntegrated) {
    ImportRequest request; // detect from the file
    const FileImport result = ImportRecordFile(kFixtures + "peer-west2.AT2", request);
    ASSERT_EQ(result.Warning, "");
    ASSERT_EQ(result.Records.size(), 1U);
    const TimeHistory& record = *result.Records[0];
    EXPECT_TRUE(record.IsIntegrated());
    EXPECT_EQ(record.GetVelocity().size(), 23U);
    EXPECT_EQ(record.GetDisplacement().size(), 23U);
    EXPECT_EQ(DescribeRecord(record),
              "PEER NGA · 0.005 s · 23 samples · g · Vorsen Hill - North Gate, comp 90 · "
              "3/14/2015");
}

TEST(PeerImport, FreeTypeChoiceIsRefusedNamingTheFormat) {
    ImportRequest request;
    request.Format = RecordFormatId::FreeType;
    request.Options.FreeType.LinesToSkip = 4;
    request.Options.FreeType.Delimiter = FieldDelimiter::Space;
    const FileImport result =
        ImportRecordLines("RSN1_TEST.AT2", FixtureLines("peer-west2.AT2"), request);
    EXPECT_EQ(result.Warning,
              "RSN1_TEST.AT2 is a PEER NGA record: choose \"PEER NGA\" under \"File Format\".");
    EXPECT_TRUE(result.Records.empty());
}

TEST(PeerImport, VelocityFileChosenAsPeerIsRefused) {
    ImportRequest request;
    request.Format = RecordFormatId::PeerNga;
    const FileImport result = ImportRecordFile(kFixtures + "peer-velocity.VT2", request);
    EXPECT_EQ(result.Warning,
              "FILE: peer-velocity.VT2. ERROR Line: 3. ERROR: the file holds velocity, not "
              "acceleration");
    EXPECT_TRUE(result.Records.empty());
}

TEST(PeerImport, TruncatedFileGivesNoPartialRecord) {
    const FileImport result = ImportRecordFile(kFixtures + "peer-truncated.AT2", ImportRequest{});
    EXPECT_EQ(result.Warning, "FILE: peer-truncated.AT2, WARNING: the file holds 12 values, fewer "
                              "than its header states (NPTS = 23)");
    EXPECT_TRUE(result.Records.empty());
}

// Samples in cm/s² become g by the gravity in force, which integration then
// multiplies back: the velocity is the file's own in cm/s whatever the setting.
TEST(PeerImport, VelocityOfACmPerS2FileDoesNotDependOnGravity) {
    std::vector<DOUBLEVECTOR> velocities;
    for (const double gravity : {980.0, 981.0, 9.81}) {
        ImportRequest request;
        request.Options.Gravity = gravity;
        const FileImport result = ImportRecordFile(kFixtures + "peer-cms2.AT2", request);
        ASSERT_EQ(result.Warning, "");
        velocities.push_back(result.Records.at(0)->GetVelocity());
    }
    ASSERT_EQ(velocities[0].size(), 9U);
    // 0.01 s x (-37.5 - 25) / 2 cm/s² over the first step.
    EXPECT_NEAR(velocities[0][1], -0.3125, 1e-12);
    for (std::size_t k = 0; k < velocities[0].size(); ++k) {
        EXPECT_NEAR(velocities[1][k], velocities[0][k], 1e-12);
        EXPECT_NEAR(velocities[2][k], velocities[0][k], 1e-12);
    }
}

} // namespace
