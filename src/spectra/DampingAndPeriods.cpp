#include "spectra/DampingAndPeriods.h"

#include "text/NumberText.h"

#include <algorithm>
#include <cmath>

std::optional<DampingFailure> ReadDampingRatios(DOUBLEVECTOR& dampingRatios,
                                                const std::vector<std::string>& fieldTexts,
                                                int count, char decimalSeparator) {
    dampingRatios.clear();
    const int available = static_cast<int>(fieldTexts.size());
    for (int field = 0; field < count && field < available; ++field) {
        const std::string& text = fieldTexts[static_cast<std::size_t>(field)];
        const std::optional<double> percent = ParseUserNumber(text, decimalSeparator);
        if (!percent) {
            return DampingFailure{NotAValidFloatingNumber(text), field};
        }
        // One correctly rounded division: 35 % gives the double nearest 0.35.
        const double ratio = *percent / 100.0;
        if (ratio >= 1.0) {
            return DampingFailure{"Damping Ratio must be less than 1!", field};
        }
        dampingRatios.push_back(ratio);
    }
    return std::nullopt;
}

void SortAndDeduplicate(DOUBLEVECTOR& dampingRatios) {
    std::sort(dampingRatios.begin(), dampingRatios.end());
    dampingRatios.erase(std::unique(dampingRatios.begin(), dampingRatios.end()),
                        dampingRatios.end());
}

namespace {

// The closing rule shared by the grid and its count: maxPeriod is added when
// the accumulated grid ends more than 10 % of maxPeriod short of it.
bool NeedsClosingPeriod(double lastPeriod, double maxPeriod) {
    return std::fabs(lastPeriod - maxPeriod) / std::fabs(maxPeriod) > 0.1;
}

} // namespace

void BuildPeriodGrid(DOUBLEVECTOR& periods, DOUBLEVECTOR& frequencies, double minPeriod,
                     double maxPeriod, double periodStep) {
    periods.clear();
    frequencies.clear();
    periods.push_back(0.0);
    // Repeated addition, each sum rounded to double: values such as
    // 5.99999999999996 are part of the grid as they come out.
    for (double t = minPeriod; t < maxPeriod; t = t + periodStep) {
        periods.push_back(t);
    }
    if (NeedsClosingPeriod(periods.back(), maxPeriod)) {
        periods.push_back(maxPeriod);
    }
    if (periods.size() < 2) {
        return; // only for settings that never pass validation
    }
    frequencies.reserve(periods.size());
    // Entry 0 stands in for the infinite frequency of period 0.
    frequencies.push_back(1.0 / periods[1]);
    for (std::size_t i = 1; i < periods.size(); ++i) {
        frequencies.push_back(1.0 / periods[i]);
    }
}

void PrepareSpectraGrid(const AnalysisSettings& settings, DOUBLEVECTOR& dampingRatios,
                        DOUBLEVECTOR& periods, DOUBLEVECTOR& frequencies) {
    BuildPeriodGrid(periods, frequencies, settings.MinPeriod, settings.MaxPeriod,
                    settings.PeriodStep);
    SortAndDeduplicate(dampingRatios);
}

std::size_t PeriodGridSize(double minPeriod, double maxPeriod, double periodStep,
                           std::size_t limit) {
    std::size_t count = 1; // period 0
    double last = 0.0;
    for (double t = minPeriod; t < maxPeriod; t = t + periodStep) {
        if (count > limit) {
            return limit + 1;
        }
        ++count;
        last = t;
    }
    if (NeedsClosingPeriod(last, maxPeriod)) {
        ++count;
    }
    return std::min(count, limit + 1);
}
