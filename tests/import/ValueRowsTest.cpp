#include "import/ValueRows.h"
#include "import/FreeFormatReader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// ---- ParseFortranLayout ----------------------------------------------------

struct LayoutCase {
    const char* text;
    std::optional<FortranLayout> layout;
};

class FortranLayoutParse : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(FortranLayoutParse, GivesValuesPerRowAndWidth) {
    const LayoutCase& c = GetParam();
    const std::optional<FortranLayout> layout = ParseFortranLayout(c.text);
    ASSERT_EQ(layout.has_value(), c.layout.has_value()) << c.text;
    if (layout) {
        EXPECT_EQ(layout->PerRow, c.layout->PerRow) << c.text;
        EXPECT_EQ(layout->Width, c.layout->Width) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, FortranLayoutParse,
    ::testing::Values(LayoutCase{"(8F10.5)", FortranLayout{8, 10}},
                      LayoutCase{"8E10.4", FortranLayout{8, 10}},
                      LayoutCase{"Format= (10I8)", FortranLayout{10, 8}},
                      LayoutCase{"(5E15.7)", FortranLayout{5, 15}},
                      LayoutCase{"( 6F13.6 )", FortranLayout{6, 13}},
                      LayoutCase{"(4g20.10)", FortranLayout{4, 20}},
                      LayoutCase{"(3D25.16)", FortranLayout{3, 25}},
                      // The first descriptor after other numbers of the line.
                      LayoutCase{"units=cm/sec2(04),Format=(8F10.5)", FortranLayout{8, 10}},
                      LayoutCase{"(100F1.0)", FortranLayout{100, 1}},
                      LayoutCase{"(1F40.3)", FortranLayout{1, 40}},
                      // Out of range, or no descriptor.
                      LayoutCase{"(0F10.5)", std::nullopt}, LayoutCase{"(101F8.1)", std::nullopt},
                      LayoutCase{"(8F41.1)", std::nullopt}, LayoutCase{"(8F0.5)", std::nullopt},
                      LayoutCase{"(8X10)", std::nullopt}, LayoutCase{"(8F)", std::nullopt},
                      LayoutCase{"F10.5", std::nullopt}, LayoutCase{"no format here", std::nullopt},
                      LayoutCase{"", std::nullopt}));

// ---- ReadFixedWidthValues --------------------------------------------------

struct FixedCase {
    const char* title;
    std::vector<std::string> lines;
    std::size_t count;
    FortranLayout layout;
    std::vector<double> values; // expected when detail is empty
    std::size_t next;           // expected line after the block
    std::string detail;         // expected failure
    std::size_t failureLine;    // 0-based
};

class FixedWidthRead : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedWidthRead, ReadsFieldsByWidthOrNamesTheLine) {
    const FixedCase& c = GetParam();
    DOUBLEVECTOR values{-1}; // read values are appended
    std::size_t next = 99;
    const std::optional<RowFailure> failure =
        ReadFixedWidthValues(c.lines, 1, c.count, c.layout, values, next);
    if (c.detail.empty()) {
        ASSERT_FALSE(failure) << failure->Detail;
        DOUBLEVECTOR expected{-1};
        expected.insert(expected.end(), c.values.begin(), c.values.end());
        EXPECT_EQ(values, expected);
        EXPECT_EQ(next, c.next);
    } else {
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->Detail, c.detail);
        EXPECT_EQ(failure->Line, c.failureLine);
    }
}

// Every case starts reading at line 1; line 0 is a header the reader skips.
INSTANTIATE_TEST_SUITE_P(
    Cases, FixedWidthRead,
    ::testing::Values(FixedCase{"GluedExponents",
                                {"header", " 1.9103E-1-2.2223E+0-1.5057E+0", "-1.2500E+1"},
                                4,
                                {3, 10},
                                {0.19103, -2.2223, -1.5057, -12.5},
                                3,
                                "",
                                0},
                      FixedCase{"GluedFixedPoint",
                                {"header", "   0.50000-161.96200 150.12345", "   2.00000"},
                                4,
                                {3, 10},
                                {0.5, -161.962, 150.12345, 2.0},
                                3,
                                "",
                                0},
                      FixedCase{"FortranDExponentAndNoLeadingZero",
                                {"header", "  1.5D+02  -.00013"},
                                2,
                                {2, 9},
                                {150, -0.00013},
                                2,
                                "",
                                0},
                      // The last row is short; what follows the block is not read.
                      FixedCase{"ShortLastRowThenMore",
                                {"header", "       1       2", "       3", "next section"},
                                3,
                                {2, 8},
                                {1, 2, 3},
                                3,
                                "",
                                0},
                      FixedCase{"TrailingBlanksAndCarriageReturnsIgnored",
                                {"header", "     1.5     2.5      \r"},
                                2,
                                {2, 8},
                                {1.5, 2.5},
                                2,
                                "",
                                0},
                      FixedCase{"NoValues", {"header"}, 0, {8, 10}, {}, 1, "", 0},
                      FixedCase{"BlankField",
                                {"header", "     1.0             3.0"},
                                3,
                                {3, 8},
                                {},
                                0,
                                "the row holds 1 of its 3 values",
                                1},
                      FixedCase{"RowEndsBeforeItsFields",
                                {"header", "     1.0     2.0", "     3.0"},
                                6,
                                {3, 8},
                                {},
                                0,
                                "the row holds 2 of its 3 values",
                                1},
                      FixedCase{"NotANumber",
                                {"header", "     1.0     2.0", "   1.2.3"},
                                3,
                                {2, 8},
                                {},
                                0,
                                "'1.2.3' is not a valid floating point value",
                                2},
                      FixedCase{"BlanksInsideAField",
                                {"header", "  1.0 2.0"},
                                1,
                                {1, 9},
                                {},
                                0,
                                "'1.0 2.0' is not a valid floating point value",
                                1},
                      FixedCase{"FileEnds",
                                {"header", "     1.0     2.0"},
                                5,
                                {2, 8},
                                {},
                                0,
                                "the file ends after 2 of 5 values",
                                1},
                      // A garbled count neither reserves memory for itself nor loops.
                      FixedCase{"HugeCount",
                                {"header", "     1.0"},
                                static_cast<std::size_t>(1) << 60,
                                {1, 8},
                                {},
                                0,
                                "the file ends after 1 of 1152921504606846976 values",
                                1},
                      FixedCase{"LayoutWithoutFields",
                                {"header", "     1.0"},
                                1,
                                {0, 8},
                                {},
                                0,
                                "the layout has no fields",
                                1}),
    [](const ::testing::TestParamInfo<FixedCase>& info) { return info.param.title; });

// ---- CheckShortLastRow -----------------------------------------------------

TEST(ShortLastRow, TextAfterTheLastValueIsAValueTooMany) {
    const std::vector<std::string> lines = {"header", "     1.0     2.0", "     3.0     4.0"};
    // Three values: the last row holds a fourth.
    const std::optional<RowFailure> failure = CheckShortLastRow(lines, 1, 3, {2, 8});
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Line, 2U);
    EXPECT_EQ(failure->Detail, "more values than the header states (3)");
    // Four values fill the rows; two fit the first row.
    EXPECT_FALSE(CheckShortLastRow(lines, 1, 4, {2, 8}));
    EXPECT_FALSE(CheckShortLastRow(lines, 1, 2, {2, 8}));
    // Blanks after the last value are not values.
    EXPECT_FALSE(CheckShortLastRow({"header", "     3.0   \t  "}, 1, 1, {2, 8}));
    EXPECT_FALSE(CheckShortLastRow(lines, 1, 0, {2, 8}));
}

} // namespace
