#include "StandardFixtures.h"
#include "import/CosmosReader.h"
#include "import/EsmReader.h"
#include "import/FreeFormatReader.h"
#include "import/GeoNetReader.h"
#include "import/KnetReader.h"
#include "import/PeerNgaReader.h"
#include "import/RecordFormat.h"
#include "import/SmcReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string Ellipsis = "\u2026";

struct QuoteCase {
    const char* title;
    std::string text;
    std::string quoted;
};

class QuoteFileTextCase : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(QuoteFileTextCase, QuotesShortAndEscaped) {
    EXPECT_EQ(QuoteFileText(GetParam().text), GetParam().quoted);
}

const std::string Forty(40, 'a');

INSTANTIATE_TEST_SUITE_P(
    Cases, QuoteFileTextCase,
    ::testing::Values(
        QuoteCase{"Ordinary", "0.1,0.2", "'0.1,0.2'"}, QuoteCase{"Empty", "", "''"},
        QuoteCase{"FortyKeptWhole", Forty, "'" + Forty + "'"},
        QuoteCase{"FortyOneCut", Forty + "b", "'" + Forty + Ellipsis + "'"},
        QuoteCase{"MegabyteCut", std::string(1 << 20, 'z'),
                  "'" + std::string(40, 'z') + Ellipsis + "'"},
        QuoteCase{"TabNewlineReturn", "a\tb\nc\rd", "'a\\tb\\nc\\rd'"},
        QuoteCase{"ControlBytes", std::string("\x01\x1b[2J\x7f", 6), "'\\x01\\x1b[2J\\x7f'"},
        QuoteCase{"NulByte", std::string("a\0b", 3), "'a\\x00b'"},
        // An escape stands for one character of the file.
        QuoteCase{"EscapesCountAsOne", std::string(45, '\x01'),
                  "'" +
                      [] {
                          std::string s;
                          for (int i = 0; i < 40; ++i) {
                              s += "\\x01";
                          }
                          return s;
                      }() +
                      Ellipsis + "'"},
        QuoteCase{"Utf8KeptAndCountedByCharacter", "cm/s\u00b2 \u00e9t\u00e9 \u20ac",
                  "'cm/s\u00b2 \u00e9t\u00e9 \u20ac'"},
        // 39 letters, then a 3-byte character that must stay whole, then one more.
        QuoteCase{"Utf8NotCutInTheMiddle", std::string(39, 'a') + "\u20ac\u20ac",
                  "'" + std::string(39, 'a') + "\u20ac" + Ellipsis + "'"},
        QuoteCase{"FourByteCharacter", "\U0001F600x", "'\U0001F600x'"},
        QuoteCase{"InvalidUtf8Escaped", std::string("a\xff\xc3(\xe2\x82", 6),
                  "'a\\xff\\xc3(\\xe2\\x82'"},
        QuoteCase{"OverlongAndSurrogateEscaped", std::string("\xc0\xaf\xed\xa0\x80", 5),
                  "'\\xc0\\xaf\\xed\\xa0\\x80'"},
        QuoteCase{"C1ControlEscaped",
                  std::string("a\xc2\x9b"
                              "1m",
                              5),
                  "'a\\xc2\\x9b1m'"}),
    [](const auto& info) { return std::string(info.param.title); });

// One megabyte of letters, DEL and the C1 escape CSI, without a byte the
// readers take for a blank (0..32).
std::string Garbage() {
    std::string text;
    while (text.size() < (1U << 20)) {
        text += "G\x7f[2J\xc2\x9bx";
    }
    return text;
}

void ExpectShortSafeWarning(const std::string& warning) {
    EXPECT_FALSE(warning.empty());
    EXPECT_LT(warning.size(), 600U) << warning.substr(0, 600);
    EXPECT_NE(warning.find(Ellipsis), std::string::npos) << warning;
    EXPECT_TRUE(std::none_of(warning.begin(), warning.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == '\x7f';
    })) << warning;
    EXPECT_EQ(warning.find("\xc2\x9b"), std::string::npos) << warning;
}

TEST(GarbageField, FreeTypeGivesAShortWarning) {
    FreeTypeParameters parameters;
    parameters.AccelerationColumn = 1;
    const ReadOutcome outcome =
        ReadRecordLines("EQ.txt", {"0.1", Garbage(), "0.2"}, parameters, '.');
    EXPECT_FALSE(outcome.Record);
    ExpectShortSafeWarning(outcome.Warning);
    EXPECT_NE(outcome.Warning.find("is not a valid floating point value"), std::string::npos);
}

struct GarbageCase {
    const char* title;
    const RecordFormat& (*format)();
    std::string file;
    // Puts the garbage into the file's lines where the reader quotes it.
    void (*edit)(std::vector<std::string>& lines, const std::string& garbage);
};

class GarbageField : public ::testing::TestWithParam<GarbageCase> {};

TEST_P(GarbageField, StandardReaderGivesAShortWarning) {
    const GarbageCase& c = GetParam();
    std::vector<std::string> lines = fixtures::Lines(c.file);
    c.edit(lines, Garbage());
    const FormatReadOutcome outcome = c.format().Read(c.file, lines, {});
    EXPECT_TRUE(outcome.Records.empty());
    ExpectShortSafeWarning(outcome.Warning);
}

void FirstLine(std::vector<std::string>& lines, const std::string& garbage) {
    lines.at(0) = garbage;
}

INSTANTIATE_TEST_SUITE_P(
    Readers, GarbageField,
    ::testing::Values(
        // A sample line: the rows every standard reader reads its values with.
        GarbageCase{"PeerSample", &PeerNgaFormat, "peer-west2.AT2",
                    [](std::vector<std::string>& lines, const std::string& garbage) {
                        lines.at(5) = garbage;
                    }},
        GarbageCase{"KnetSamplingRate", &KnetFormat, "knet-offset.NS",
                    [](std::vector<std::string>& lines, const std::string& garbage) {
                        lines.at(fixtures::FindLine(lines, "Sampling Freq") - 1) =
                            "Sampling Freq(Hz) " + garbage;
                    }},
        GarbageCase{"CosmosHeader", &CosmosFormat, "cosmos-5f15.v2", &FirstLine},
        GarbageCase{"EsmNdata", &EsmFormat, "esm-ms2.ACC.ASC",
                    [](std::vector<std::string>& lines, const std::string& garbage) {
                        lines.at(fixtures::FindLine(lines, "NDATA") - 1) = "NDATA: " + garbage;
                    }},
        GarbageCase{"SmcHeader", &SmcFormat, "smc-corrected.smc", &FirstLine},
        GarbageCase{"GeoNetHeader", &GeoNetFormat, "20200102_030405_TST1_20.V2A", &FirstLine}),
    [](const auto& info) { return std::string(info.param.title); });

// A duration that reads as a number yet is a megabyte long is shown as the number.
TEST(GarbageField, KnetDurationOfAMegabyteIsShownAsItsNumber) {
    std::vector<std::string> lines = fixtures::Lines("knet-offset.NS");
    lines.at(fixtures::FindLine(lines, "Duration Time") - 1) =
        "Duration Time(s)  " + std::string(1U << 20, '0') + "1";
    const FormatReadOutcome outcome = KnetFormat().Read("knet-offset.NS", lines, {});
    EXPECT_TRUE(outcome.Records.empty());
    EXPECT_LT(outcome.Warning.size(), 300U) << outcome.Warning.substr(0, 300);
    EXPECT_NE(outcome.Warning.find("its duration of 1 s at 20 Hz"), std::string::npos)
        << outcome.Warning.substr(0, 300);
}

} // namespace
