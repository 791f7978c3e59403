#pragma once

#include "record/Timeserie.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reading the numeric rows of the standard formats. A failure gives the
// 0-based index of the offending line and what was wrong with it; the caller
// turns it into the user's warning with the file name.
struct RowFailure {
    std::size_t Line = 0; // 0-based index into the file's lines
    std::string Detail;
};

// Reads blank-separated numbers (any count per row) from lines[first..last)
// into `values`, appending. A blank line is skipped. Stops with a failure at
// the first field that is not a number, or once more than `limit` values were
// read (limit = max: no limit).
std::optional<RowFailure>
ReadBlankSeparatedValues(const std::vector<std::string>& lines, std::size_t first, std::size_t last,
                         DOUBLEVECTOR& values, std::size_t limit = static_cast<std::size_t>(-1));

// A Fortran edit descriptor of a data block, e.g. "(8F10.5)", "8E10.4", "(10I8)",
// "(5E15.7)": so many values a row, each so many characters wide.
struct FortranLayout {
    int PerRow = 0;
    int Width = 0;
};
// Parses the first "<count><letter><width>[.<decimals>]" of `text` (letters
// F, E, G, D, I; optional parentheses and blanks); nullopt when there is none
// or the numbers are out of range (1..100 values of 1..40 characters).
std::optional<FortranLayout> ParseFortranLayout(std::string_view text);

// Reads `count` values laid out in fixed-width fields from lines[first...]:
// PerRow fields a row of Width characters each, the last row possibly short.
// Values may touch ("1.5057E+0-2.2223E+0"); a field of blanks only is an error,
// as is a row that ends before its fields (except after the last value).
// `next` is set to the index of the line after the block.
std::optional<RowFailure> ReadFixedWidthValues(const std::vector<std::string>& lines,
                                               std::size_t first, std::size_t count,
                                               const FortranLayout& layout, DOUBLEVECTOR& values,
                                               std::size_t& next);

// After ReadFixedWidthValues: a failure when the block's last row is short
// (count is not a multiple of PerRow) but holds text after its last field,
// the first of the values beyond the stated count. Full rows are not checked
// past their PerRow fields.
std::optional<RowFailure> CheckShortLastRow(const std::vector<std::string>& lines,
                                            std::size_t first, std::size_t count,
                                            const FortranLayout& layout);

// A number of a header or data field: blanks around it are ignored; a Fortran
// 'D' exponent is taken as 'E'. nullopt when it is not a number.
std::optional<double> ParseFieldNumber(std::string_view text);
