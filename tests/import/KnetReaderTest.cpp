#include "import/KnetReader.h"
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
    return KnetFormat().Read(name, lines, options);
}

struct HeaderValues {
    std::string rate = "10Hz";
    std::string duration = "10";
    std::string scale = "3920(gal)/6182761";
    std::string peak = "4.954";
};

// The 17 header lines, each key padded to 18 characters.
std::string Header(const HeaderValues& v = {}) {
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"Origin Time", "2018/01/24 19:51:00"},
        {"Lat.", "41.0"},
        {"Long.", "142.5"},
        {"Depth. (km)", "30"},
        {"Mag.", "6.2"},
        {"Station Code", "TST001"},
        {"Station Lat.", "41.5"},
        {"Station Long.", "140.9"},
        {"Station Height(m)", "39"},
        {"Record Time", "2018/01/24 19:51:43"},
        {"Sampling Freq(Hz)", v.rate},
        {"Duration Time(s)", v.duration},
        {"Dir.", "E-W"},
        {"Scale Factor", v.scale},
        {"Max. Acc. (gal)", v.peak},
        {"Last Correction", "2018/01/24 19:51:43"},
        {"Memo.", ""}};
    std::string text;
    for (const auto& [key, value] : fields) {
        text.append(key).append(18 - key.size(), ' ').append(value).append("\n");
    }
    return text;
}

// n counts, 8 a row: 100 + k.
std::string Rows(int n) {
    std::string text;
    for (int k = 0; k < n; ++k) {
        text += "     " + std::to_string(100 + k) + ((k % 8 == 7 || k == n - 1) ? " \n" : " ");
    }
    return text;
}

struct LayoutCase {
    const char* file;
    double dt;
    int count;
    double galPerCount;
    const char* station;
    const char* component;
    const char* peak;
};

class KnetLayout : public ::testing::TestWithParam<LayoutCase> {};

// tests/import/fixtures/knet.py: count k = offset + (k % 7 - 3) x 64, a whole
// number of periods, so the mean is the offset and sample k is
// (k % 7 - 3) x 64 x galPerCount gal.
TEST_P(KnetLayout, RemovesTheOffsetAndScalesToG) {
    const LayoutCase& c = GetParam();
    const FormatReadOutcome outcome = Read(c.file, FixtureLines(c.file));
    ASSERT_EQ(outcome.Warning, "");
    ASSERT_EQ(outcome.Records.size(), 1U);
    const TimeHistory& record = *outcome.Records[0];
    EXPECT_DOUBLE_EQ(record.GetDt(), c.dt);
    ASSERT_EQ(record.Count(), c.count);
    for (int k = 0; k < c.count; ++k) {
        EXPECT_NEAR(record.GetAcceleration()[k], (k % 7 - 3) * 64 * c.galPerCount / 980, 1e-15)
            << k;
    }
    const RecordInfo& info = record.GetInfo();
    EXPECT_EQ(info.Format, "K-NET / KiK-net");
    EXPECT_EQ(info.Station, c.station);
    EXPECT_EQ(info.Component, c.component);
    EXPECT_EQ(info.EventTime, "2018/01/24 19:51:00");
    EXPECT_EQ(info.SourceUnits, "counts");
    EXPECT_EQ(info.StatedPeak, c.peak);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, KnetLayout,
    ::testing::Values(
        // 20 Hz, offset 13190, 17 rows of 8 and one of 4.
        LayoutCase{"knet-offset.NS", 0.05, 140, 3920.0 / 6272000, "VRS001", "N-S", "0.120 gal"},
        // KiK-net surface sensor, 200 Hz, negative offset, CR LF ends.
        LayoutCase{"kiknet-surface.EW2", 0.005, 210, 2000.0 / 8388608, "VRSH02", "4", "0.046 gal"}),
    [](const auto& info) { return std::string(info.param.station); });

struct MeanCase {
    const char* title;
    std::string counts;
    std::string scale;
    std::vector<double> gal;
};

class KnetMean : public ::testing::TestWithParam<MeanCase> {};

TEST_P(KnetMean, SubtractsTheMeanOfTheCountsBeforeScaling) {
    const MeanCase& c = GetParam();
    HeaderValues v;
    v.scale = c.scale;
    v.duration = ""; // no duration: no check of the count
    const FormatReadOutcome outcome = Read("T.NS", SplitTextLines(Header(v) + c.counts));
    ASSERT_EQ(outcome.Warning, "");
    const DOUBLEVECTOR& samples = outcome.Records.at(0)->GetAcceleration();
    ASSERT_EQ(samples.size(), c.gal.size());
    for (std::size_t k = 0; k < samples.size(); ++k) {
        EXPECT_NEAR(samples[k] * 980, c.gal[k], 1e-12) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KnetMean,
    ::testing::Values(MeanCase{"wholeMean", "10 20 30 40\n", "1(gal)/1", {-15, -5, 5, 15}},
                      MeanCase{"fractionalMean", "1 2 4\n", "3(gal)/1", {-4, -1, 5}},
                      MeanCase{"scaled",
                               "13190 13200 13180\n",
                               "3920(gal)/6182761",
                               {0, 10 * 3920 / 6182761.0, -10 * 3920 / 6182761.0}},
                      MeanCase{"negativeCounts", "-5 -7 -9\n", "2(gal)/4", {1, 0, -1}},
                      MeanCase{"constantIsZero",
                               "7 7 7 7 7 7 7 7\n7\n",
                               "1(gal)/1",
                               {0, 0, 0, 0, 0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(KnetRate, TheTimeStepIsOneOverTheSamplingRate) {
    for (const auto& [rate, dt] : std::vector<std::pair<std::string, double>>{
             {"100Hz", 0.01}, {"200Hz", 0.005}, {"50 Hz", 0.02}, {"20", 0.05}}) {
        HeaderValues v;
        v.rate = rate;
        v.duration = ""; // no duration: no check of the count
        const FormatReadOutcome outcome = Read("T.NS", SplitTextLines(Header(v) + "1 2\n"));
        ASSERT_EQ(outcome.Warning, "") << rate;
        EXPECT_DOUBLE_EQ(outcome.Records.at(0)->GetDt(), dt) << rate;
    }
}

// The duration is whole seconds: a file within one second's samples of it is
// a whole record, one further off lost rows.
TEST(KnetDuration, RoundedDurationIsNoRefusal) {
    for (const int n : {10, 18, 20, 30}) {
        HeaderValues v;
        v.rate = "10Hz";
        v.duration = "2";
        const FormatReadOutcome outcome = Read("T.NS", SplitTextLines(Header(v) + Rows(n)));
        EXPECT_EQ(outcome.Warning, "") << n;
        EXPECT_EQ(outcome.Records.size(), 1U) << n;
    }
}

struct RefusalCase {
    const char* title;
    std::string text;
    std::string warning;
};

class KnetRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(KnetRefusal, GivesOneWarningAndNoRecord) {
    const RefusalCase& c = GetParam();
    const FormatReadOutcome outcome = Read("T.NS", SplitTextLines(c.text));
    EXPECT_EQ(outcome.Warning, c.warning);
    EXPECT_TRUE(outcome.Records.empty());
}

const std::string kLine = "FILE: T.NS. ERROR Line: ";
const std::string kFile = "FILE: T.NS, WARNING: ";

HeaderValues Rate(const std::string& rate) {
    HeaderValues v;
    v.rate = rate;
    return v;
}

HeaderValues Scale(const std::string& scale) {
    HeaderValues v;
    v.scale = scale;
    return v;
}

std::string WithoutLine(const std::string& text, const std::string& key) {
    const std::size_t at = text.find(key);
    return text.substr(0, at) + text.substr(text.find('\n', at) + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KnetRefusal,
    ::testing::Values(
        RefusalCase{"headerCut", Header().substr(0, Header().find("Dir.")),
                    kFile + "the file ends inside the 17 header lines of a K-NET / KiK-net record"},
        RefusalCase{"headerLineMissing", WithoutLine(Header(), "Scale Factor") + Rows(100),
                    kLine + "14. ERROR: the header line should start with \"Scale Factor\""},
        RefusalCase{"rateZero", Header(Rate("0Hz")) + Rows(100),
                    kLine + "11. ERROR: the sampling rate '0Hz' is not a positive number of Hz"},
        RefusalCase{"rateNegative", Header(Rate("-100Hz")) + Rows(100),
                    kLine + "11. ERROR: the sampling rate '-100Hz' is not a positive number of Hz"},
        RefusalCase{"rateMissing", Header(Rate("")) + Rows(100),
                    kLine + "11. ERROR: the sampling rate '' is not a positive number of Hz"},
        RefusalCase{"rateGarbled", Header(Rate("1OOHz")) + Rows(100),
                    kLine + "11. ERROR: the sampling rate '1OOHz' is not a positive number of Hz"},
        RefusalCase{"scaleWithoutDenominator", Header(Scale("3920(gal)")) + Rows(100),
                    kLine + "14. ERROR: the scale factor '3920(gal)' is not <gal>(gal)/<counts> "
                            "with both positive"},
        RefusalCase{"scaleZeroDenominator", Header(Scale("3920(gal)/0")) + Rows(100),
                    kLine + "14. ERROR: the scale factor '3920(gal)/0' is not <gal>(gal)/<counts> "
                            "with both positive"},
        RefusalCase{"scaleOtherUnit", Header(Scale("39.2(m/s2)/6182761")) + Rows(100),
                    kLine + "14. ERROR: the scale factor '39.2(m/s2)/6182761' is not "
                            "<gal>(gal)/<counts> with both positive"},
        RefusalCase{"noCounts", Header(), kFile + "the file holds no counts after its header"},
        RefusalCase{"badCount",
                    Header() + "     1     2     3     4     5     6     7     8\n"
                               "     9    1O\n",
                    kLine + "19. ERROR: '1O' is not a valid floating point value"},
        RefusalCase{"fractionalCount", Header() + "1 2 3 4 5 6 7 8\n1 2.5 3\n",
                    kLine + "19. ERROR: '2.5' is not a whole count"},
        RefusalCase{"hugeCount", Header() + "1 2 3 4 5 6 7 1e300\n",
                    kLine + "18. ERROR: '1E300' is not a whole count"},
        RefusalCase{"scaleOverflows", Header(Scale("1e300(gal)/1e-300")) + Rows(100),
                    kLine + "14. ERROR: the scale factor '1e300(gal)/1e-300' is not "
                            "<gal>(gal)/<counts> with both positive"},
        RefusalCase{"shortRowInside", Header() + "1 2 3 4 5 6 7 8\n1 2 3\n1 2 3 4 5 6 7 8\n",
                    kLine + "19. ERROR: the row holds 3 counts; every row but the last holds 8"},
        RefusalCase{"longRow", Header() + "1 2 3 4 5 6 7 8 9\n",
                    kLine + "18. ERROR: the row holds 9 counts; every row but the last holds 8"},
        RefusalCase{"fewerThanTheDuration", Header() + Rows(40),
                    kFile + "the file holds 40 counts, but its duration of 10 s at 10 Hz states "
                            "about 100"},
        RefusalCase{"moreThanTheDuration", Header() + Rows(300),
                    kFile + "the file holds 300 counts, but its duration of 10 s at 10 Hz states "
                            "about 100"},
        // The text ends at a NUL character: the rest of the counts are lost.
        RefusalCase{"nulEndsText", Header() + Rows(16) + std::string(1, '\0') + Rows(84),
                    kFile + "the file holds 16 counts, but its duration of 10 s at 10 Hz states "
                            "about 100"}),
    [](const auto& info) { return std::string(info.param.title); });

// With a gravity near zero, only the large count's sample leaves the doubles.
TEST(KnetOverflow, ASampleBeyondTheDoublesInGIsRefusedOnItsLine) {
    HeaderValues v;
    v.duration = "";
    const std::string zeros = "0 0 0 0 0 0 0 0\n";
    const FormatReadOutcome outcome = Read(
        "T.NS", SplitTextLines(Header(v) + zeros + zeros + zeros + "0 0 0 0 0 0 0 6182761000\n"),
        1e-303);
    EXPECT_EQ(outcome.Warning, kLine + "21. ERROR: Floating point overflow");
    EXPECT_TRUE(outcome.Records.empty());
}

TEST(KnetLineEnds, LfCrlfCrAndNoFinalBreakGiveTheSameSamples) {
    const std::string lf = Header() + Rows(100);
    std::string crlf;
    std::string cr;
    for (const char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    const DOUBLEVECTOR expected = Read("T.NS", SplitTextLines(lf)).Records.at(0)->GetAcceleration();
    for (const std::string& text : {crlf, cr, lf.substr(0, lf.size() - 1)}) {
        const FormatReadOutcome outcome = Read("T.NS", SplitTextLines(text));
        ASSERT_EQ(outcome.Warning, "");
        EXPECT_EQ(outcome.Records.at(0)->GetAcceleration(), expected);
    }
}

struct DetectionCase {
    const char* title;
    std::string text;
    bool knet;
};

class KnetDetection : public ::testing::TestWithParam<DetectionCase> {};

TEST_P(KnetDetection, RecognisesTheHeaderSignatureOnly) {
    const DetectionCase& c = GetParam();
    const std::vector<std::string> lines = SplitTextLines(c.text);
    EXPECT_EQ(KnetFormat().Recognises(lines), c.knet);
    const RecordFormat* detected = DetectStandardFormat(lines);
    if (c.knet) {
        ASSERT_NE(detected, nullptr);
        EXPECT_EQ(detected->Id(), RecordFormatId::Knet);
    } else {
        EXPECT_TRUE(detected == nullptr || detected->Id() != RecordFormatId::Knet);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KnetDetection,
    ::testing::Values(DetectionCase{"knet", Header() + Rows(100), true},
                      DetectionCase{"damagedScaleLineStillKnet",
                                    WithoutLine(Header(), "Scale Factor") + Rows(100), true},
                      DetectionCase{"eightIntegersARow", Rows(100), false},
                      DetectionCase{"originTimeAlone", "Origin Time 2018/01/24\n1 2 3\n4 5 6\n",
                                    false},
                      DetectionCase{"keyValueText", "Lat. 41.0\nLong. 142.5\nMag. 6.2\n", false},
                      DetectionCase{"csv", "time,acc\n0,1\n0.01,2\n", false}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(KnetImport, DetectedFileIsReadAndIntegrated) {
    const FileImport result = ImportRecordFile(kFixtures + "knet-offset.NS", ImportRequest{});
    ASSERT_EQ(result.Warning, "");
    ASSERT_EQ(result.Records.size(), 1U);
    const TimeHistory& record = *result.Records[0];
    EXPECT_TRUE(record.IsIntegrated());
    EXPECT_EQ(record.GetVelocity().size(), 140U);
    // The peak the header states is that of the counts less their mean.
    EXPECT_NEAR(record.PeakAcceleration() * 980, 0.12, 1e-12);
    EXPECT_EQ(DescribeRecord(record), "K-NET / KiK-net · 0.05 s · 140 samples · counts · VRS001, "
                                      "comp N-S · 2018/01/24 19:51:00 · stated peak 0.120 gal");
}

TEST(KnetImport, FreeTypeChoiceIsRefusedNamingTheFormat) {
    ImportRequest request;
    request.Format = RecordFormatId::FreeType;
    const FileImport result = ImportRecordFile(kFixtures + "kiknet-surface.EW2", request);
    EXPECT_EQ(result.Warning, "kiknet-surface.EW2 is a K-NET / KiK-net record: choose \"K-NET / "
                              "KiK-net\" under \"File Format\".");
    EXPECT_TRUE(result.Records.empty());
}

TEST(KnetImport, TruncatedFileGivesNoPartialRecord) {
    const FileImport result = ImportRecordFile(kFixtures + "knet-truncated.UD", ImportRequest{});
    EXPECT_EQ(result.Warning, "FILE: knet-truncated.UD, WARNING: the file holds 48 counts, but "
                              "its duration of 7 s at 20 Hz states about 140");
    EXPECT_TRUE(result.Records.empty());
}

} // namespace
