#pragma once

#include "record/Timeserie.h"
#include "spectra/AnalysisSettings.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The damping list and the period grid of a spectrum analysis.

// A refused damping field: the message shown and the 0-based index of the field
// (among the nine fields edt16 ... edt24) that receives the focus.
struct DampingFailure {
    std::string Message;
    int FieldIndex;
};

// Empties `dampingRatios`, then reads the first `count` texts of `fieldTexts` in
// order (percent of critical damping) and appends value / 100 for each. The
// remaining texts are never read. Only the upper bound is checked (a ratio of 1
// or more is refused); zero and negative percentages are accepted. On a failure
// the ratios read before the failing field remain: callers empty the list.
std::optional<DampingFailure> ReadDampingRatios(DOUBLEVECTOR& dampingRatios,
                                                const std::vector<std::string>& fieldTexts,
                                                int count, char decimalSeparator = '.');

// Sorts ascending and removes every value equal to its predecessor, so that the
// list comes out strictly ascending.
void SortAndDeduplicate(DOUBLEVECTOR& dampingRatios);

// Builds the period grid (s) and its frequencies (Hz). Periods[0] = 0; then
// MinPeriod, MinPeriod + step, ... accumulated by repeated addition while below
// maxPeriod; maxPeriod is appended only when the last period falls short of it
// by more than 10 % of maxPeriod. Frequencies[i] = 1 / Periods[i] for i >= 1 and
// Frequencies[0] = Frequencies[1]. Needs settings that passed the analysis
// settings update (0 < minPeriod < maxPeriod, 0 < step <= maxPeriod - minPeriod).
void BuildPeriodGrid(DOUBLEVECTOR& periods, DOUBLEVECTOR& frequencies, double minPeriod,
                     double maxPeriod, double periodStep);

// What every analysis does with the damping ratios read from the fields: builds
// the period grid of `settings` into `periods` and `frequencies`
// (BuildPeriodGrid) and sorts and deduplicates `dampingRatios` in place
// (SortAndDeduplicate). Needs settings that passed the analysis settings update.
void PrepareSpectraGrid(const AnalysisSettings& settings, DOUBLEVECTOR& dampingRatios,
                        DOUBLEVECTOR& periods, DOUBLEVECTOR& frequencies);

// The number of periods (entry 0 included) that BuildPeriodGrid would produce,
// counted by the same repeated addition without storing the grid. Counting stops
// as soon as the count exceeds `limit`, then returns limit + 1; so the cost is
// bounded by `limit` additions even when the step is too small to advance the
// sum at all.
std::size_t PeriodGridSize(double minPeriod, double maxPeriod, double periodStep,
                           std::size_t limit);
