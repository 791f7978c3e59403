#include "import/EsmReader.h"
#include "import/RecordImport.h"

#include <gtest/gtest.h>

#include <map>
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
    return EsmFormat().Read(name, lines, options);
}

struct LayoutCase {
    const char* file;
    double dt;
    int count;
    double perUnit; // g per unit of the file's samples
    const char* units;
};

class EsmLayout : public ::testing::TestWithParam<LayoutCase> {};

// tests/import/fixtures/esm.py: sample k is (k % 7 - 3) x 12.5 in the file's units.
TEST_P(EsmLayout, ReadsEverySampleWithTheHeadersStep) {
    const LayoutCase& c = GetParam();
    const FormatReadOutcome outcome = Read(c.file, FixtureLines(c.file));
    ASSERT_EQ(outcome.Warning, "");
    ASSERT_EQ(outcome.Records.size(), 1U);
    const TimeHistory& record = *outcome.Records[0];
    EXPECT_EQ(record.GetDt(), c.dt);
    ASSERT_EQ(record.Count(), c.count);
    for (int k = 0; k < c.count; ++k) {
        EXPECT_DOUBLE_EQ(record.GetAcceleration()[k], (k % 7 - 3) * 12.5 * c.perUnit) << k;
    }
    const RecordInfo& info = record.GetInfo();
    EXPECT_EQ(info.Format, "ESM");
    EXPECT_EQ(info.Station, "VRS1");
    EXPECT_EQ(info.Component, "HNE");
    EXPECT_EQ(info.EventTime, "2019-07-28 16:09:08");
    EXPECT_EQ(info.SourceUnits, c.units);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, EsmLayout,
    ::testing::Values(
        // 64 header lines, empty values, values holding ':'.
        LayoutCase{"esm-dyna12.ACC.ASC", 0.005, 30, 1 / 980.0, "cm/s²"},
        // An older header of 31 lines without DATA_TYPE, CR LF, no final break.
        LayoutCase{"esm-older31.ASC", 0.01, 16, 1 / 980.0, "cm/s²"},
        LayoutCase{"esm-ms2.ACC.ASC", 0.02, 9, 100 / 980.0, "m/s²"}),
    [](const auto& info) { return std::to_string(info.index); });

// A small header: every key given, in the current layout's order; a value
// of "-" leaves the line out.
std::string Header(const std::map<std::string, std::string>& changes = {}) {
    std::vector<std::pair<std::string, std::string>> fields = {
        {"EVENT_NAME", "TEST"},
        {"EVENT_ID", "XX-1"},
        {"EVENT_DATE_YYYYMMDD", "20190728"},
        {"EVENT_TIME_HHMMSS", "160908"},
        {"MAGNITUDE_W", ""},
        {"STATION_CODE", "ST1"},
        {"DATE_TIME_FIRST_SAMPLE_YYYYMMDD_HHMMSS", "20190728_160919.870"},
        {"SAMPLING_INTERVAL_S", "0.010000"},
        {"NDATA", "3"},
        {"STREAM", "HNZ"},
        {"UNITS", "cm/s^2"},
        {"PGA_CM/S^2", "2.000000"},
        {"DATA_TYPE", "ACCELERATION"},
        {"DATA_TIMESTAMP_YYYYMMDD_HHMMSS", "2019-07-30T11:56:04"}};
    std::string text;
    for (auto& [key, value] : fields) {
        const auto change = changes.find(key);
        if (change != changes.end()) {
            if (change->second == "-") {
                continue;
            }
            value = change->second;
        }
        text.append(key).append(": ").append(value).append("\n");
    }
    return text;
}

const std::string kData = "1.000000\n-2.000000\n0.500000\n";

struct UnitsCase {
    const char* units;
    double gravity;
    double perUnit;
    const char* text;
};

class EsmUnits : public ::testing::TestWithParam<UnitsCase> {};

TEST_P(EsmUnits, ConvertsToGWithTheGravityInForce) {
    const UnitsCase& c = GetParam();
    const FormatReadOutcome outcome =
        Read("E.ASC", SplitTextLines(Header({{"UNITS", c.units}}) + kData), c.gravity);
    ASSERT_EQ(outcome.Warning, "");
    const TimeHistory& record = *outcome.Records.at(0);
    EXPECT_DOUBLE_EQ(record.GetAcceleration()[1], -2 * c.perUnit);
    EXPECT_EQ(record.GetInfo().SourceUnits, c.text);
    EXPECT_EQ(record.GetInfo().StatedPeak, "2.000000 cm/s²");
}

INSTANTIATE_TEST_SUITE_P(Units, EsmUnits,
                         ::testing::Values(UnitsCase{"cm/s^2", 980, 1 / 980.0, "cm/s²"},
                                           UnitsCase{"cm/s^2", 981, 1 / 981.0, "cm/s²"},
                                           UnitsCase{"CM/S2", 980, 1 / 980.0, "cm/s²"},
                                           UnitsCase{"m/s^2", 980, 100 / 980.0, "m/s²"},
                                           UnitsCase{"mm/s^2", 980, 0.1 / 980, "mm/s²"},
                                           UnitsCase{"g", 980, 1, "g"}));

struct RefusalCase {
    const char* title;
    std::string text;
    std::string warning;
};

class EsmRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(EsmRefusal, GivesOneWarningAndNoRecord) {
    const RefusalCase& c = GetParam();
    const FormatReadOutcome outcome = Read("E.ASC", SplitTextLines(c.text));
    EXPECT_EQ(outcome.Warning, c.warning);
    EXPECT_TRUE(outcome.Records.empty());
}

const std::string kLine = "FILE: E.ASC. ERROR Line: ";
const std::string kFile = "FILE: E.ASC, WARNING: ";

INSTANTIATE_TEST_SUITE_P(
    Cases, EsmRefusal,
    ::testing::Values(
        RefusalCase{"noHeader", kData,
                    kFile + "the file has no ESM header (\"KEY: value\" lines before the data)"},
        RefusalCase{"notKeyValue", "EVENT_NAME: TEST\nthis line has no key\n" + kData,
                    kLine + "2. ERROR: the header line is not \"KEY: value\""},
        RefusalCase{"velocity", Header({{"DATA_TYPE", "VELOCITY"}, {"UNITS", "cm/s"}}) + kData,
                    kLine + "13. ERROR: the file holds velocity, not acceleration"},
        RefusalCase{"displacement",
                    Header({{"DATA_TYPE", "DISPLACEMENT"}, {"UNITS", "cm"}}) + kData,
                    kLine + "13. ERROR: the file holds displacement, not acceleration"},
        RefusalCase{"spectrum", Header({{"DATA_TYPE", "ACCELERATION RESPONSE SPECTRUM"}}) + kData,
                    kLine + "13. ERROR: the file holds 'ACCELERATION RESPONSE SPECTRUM', not an "
                            "acceleration time series"},
        RefusalCase{"unknownUnits", Header({{"UNITS", "ft/s^2"}}) + kData,
                    kLine + "11. ERROR: unknown units 'ft/s^2': expected cm/s^2, m/s^2, mm/s^2 "
                            "or g"},
        RefusalCase{"noUnits", Header({{"UNITS", "-"}}) + kData,
                    kFile + "the header gives no UNITS"},
        RefusalCase{"noInterval", Header({{"SAMPLING_INTERVAL_S", "-"}}) + kData,
                    kFile + "the header gives no SAMPLING_INTERVAL_S"},
        RefusalCase{"emptyInterval", Header({{"SAMPLING_INTERVAL_S", ""}}) + kData,
                    kLine + "8. ERROR: SAMPLING_INTERVAL_S is empty"},
        RefusalCase{"zeroInterval", Header({{"SAMPLING_INTERVAL_S", "0.000000"}}) + kData,
                    kLine + "8. ERROR: the sampling interval '0.000000' is not a positive number "
                            "of seconds"},
        RefusalCase{"sentinelInterval", Header({{"SAMPLING_INTERVAL_S", "-999"}}) + kData,
                    kLine + "8. ERROR: the sampling interval '-999' is not a positive number of "
                            "seconds"},
        RefusalCase{"noNdata", Header({{"NDATA", "-"}}) + kData,
                    kFile + "the header gives no NDATA"},
        RefusalCase{"emptyNdata", Header({{"NDATA", ""}}) + kData,
                    kLine + "9. ERROR: NDATA is empty"},
        RefusalCase{"fractionalNdata", Header({{"NDATA", "2.5"}}) + kData,
                    kLine + "9. ERROR: NDATA '2.5' is not a positive whole number of samples"},
        RefusalCase{"badNumber", Header() + "1.0\n2,0\n3.0\n",
                    kLine + "16. ERROR: '2,0' is not a valid floating point value"},
        RefusalCase{"overflowInG", Header({{"UNITS", "m/s^2"}}) + "1.0\n1.7e308\n3.0\n",
                    kLine + "16. ERROR: Floating point overflow"},
        RefusalCase{"moreValues", Header() + kData + "4.0\n",
                    kLine + "18. ERROR: more values than the header states (3)"},
        RefusalCase{"fewerValues", Header() + "1.0\n2.0\n",
                    kFile + "the file holds 2 values, fewer than its header states (NDATA = 3)"},
        RefusalCase{"hugeNdata", Header({{"NDATA", "900000000"}}) + kData,
                    kFile + "the file holds 3 values, fewer than its header states (NDATA = "
                            "900000000)"},
        RefusalCase{"headerOnly", Header(),
                    kFile + "the file holds 0 values, fewer than its header states (NDATA = 3)"},
        RefusalCase{"nulEndsText", Header() + "1.0\n2.0" + std::string(1, '\0') + "\n3.0\n",
                    kFile + "the file holds 2 values, fewer than its header states (NDATA = 3)"}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(EsmLineEnds, LfCrlfCrAndNoFinalBreakGiveTheSameSamples) {
    const std::string lf = Header() + kData;
    std::string crlf;
    std::string cr;
    for (const char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    for (const std::string& text : {lf, crlf, cr, lf.substr(0, lf.size() - 1)}) {
        const FormatReadOutcome outcome = Read("E.ASC", SplitTextLines(text));
        ASSERT_EQ(outcome.Warning, "");
        EXPECT_EQ(outcome.Records.at(0)->GetAcceleration(),
                  (DOUBLEVECTOR{1 / 980.0, -2 / 980.0, 0.5 / 980.0}));
    }
}

struct DetectionCase {
    const char* title;
    std::string text;
    bool esm;
};

class EsmDetection : public ::testing::TestWithParam<DetectionCase> {};

TEST_P(EsmDetection, RecognisesTheHeaderSignatureOnly) {
    const DetectionCase& c = GetParam();
    const std::vector<std::string> lines = SplitTextLines(c.text);
    EXPECT_EQ(EsmFormat().Recognises(lines), c.esm);
    const RecordFormat* detected = DetectStandardFormat(lines);
    if (c.esm) {
        ASSERT_NE(detected, nullptr);
        EXPECT_EQ(detected->Id(), RecordFormatId::Esm);
    } else {
        EXPECT_TRUE(detected == nullptr || detected->Id() != RecordFormatId::Esm);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EsmDetection,
    ::testing::Values(DetectionCase{"esm", Header() + kData, true},
                      DetectionCase{"missingIntervalStillEsm",
                                    Header({{"SAMPLING_INTERVAL_S", "-"}}) + kData, true},
                      DetectionCase{"otherKeyValueHeader",
                                    "title: my record\nunits: g\ndt: 0.01\n" + kData, false},
                      DetectionCase{"keysAfterTheData", "1.0\nEVENT_NAME: X\nNDATA: 3\n", false},
                      DetectionCase{"timeColumn", "0.00:0.1\n0.01:0.2\n", false},
                      DetectionCase{"column", kData, false}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(EsmImport, DetectedFileIsReadAndIntegrated) {
    const FileImport result = ImportRecordFile(kFixtures + "esm-dyna12.ACC.ASC", ImportRequest{});
    ASSERT_EQ(result.Warning, "");
    ASSERT_EQ(result.Records.size(), 1U);
    const TimeHistory& record = *result.Records[0];
    EXPECT_TRUE(record.IsIntegrated());
    EXPECT_EQ(record.GetVelocity().size(), 30U);
    EXPECT_EQ(DescribeRecord(record), "ESM · 0.005 s · 30 samples · cm/s² · VRS1, comp HNE · "
                                      "2019-07-28 16:09:08 · stated peak 37.500000 cm/s²");
}

TEST(EsmImport, FreeTypeChoiceIsRefusedNamingTheFormat) {
    ImportRequest request;
    request.Format = RecordFormatId::FreeType;
    const FileImport result = ImportRecordFile(kFixtures + "esm-older31.ASC", request);
    EXPECT_EQ(result.Warning,
              StandardFileAsFreeTypeWarning("esm-older31.ASC", EsmFormat(), ImportFront::Window));
    EXPECT_TRUE(result.Records.empty());
}

TEST(EsmImport, RefusedFilesGiveNoRecord) {
    for (const auto& [file, warning] : std::vector<std::pair<std::string, std::string>>{
             {"esm-velocity.VEL.ASC", "FILE: esm-velocity.VEL.ASC. ERROR Line: 50. ERROR: the "
                                      "file holds velocity, not acceleration"},
             {"esm-truncated.ACC.ASC", "FILE: esm-truncated.ACC.ASC, WARNING: the file holds 20 "
                                       "values, fewer than its header states (NDATA = 30)"}}) {
        const FileImport result = ImportRecordFile(kFixtures + file, ImportRequest{});
        EXPECT_EQ(result.Warning, warning);
        EXPECT_TRUE(result.Records.empty());
    }
}

} // namespace
