#include "spectra/AnalysisSettings.h"

#include "spectra/DampingAndPeriods.h"
#include "text/NumberText.h"

#include <cstddef>
#include <optional>

namespace {

// The longest period grid (entry 0 included) an analysis is allowed to build.
// Beyond it one analysis would take minutes and the tables would hold more rows
// than anybody reads; a step too small to advance the sum at all would never end.
constexpr std::size_t MaxPeriodCount = 100000;

struct FieldReader {
    char decimalSeparator;
    std::optional<SettingsFailure> failure;

    // Converts one field's text; on failure records the not-a-number message.
    std::optional<double> Read(const std::string& text, SettingsField field) {
        std::optional<double> value = ParseUserNumber(text, decimalSeparator);
        if (!value) {
            failure = SettingsFailure{NotAValidFloatingNumber(text), field};
        }
        return value;
    }
};

SettingsFailure Fail(const char* message, SettingsField field) {
    return SettingsFailure{message, field};
}

} // namespace

SettingsTexts DefaultSettingsTexts() {
    SettingsTexts texts;
    texts.MinPeriod = "0.02";
    texts.MaxPeriod = "6";
    texts.PeriodStep = "0.02";
    texts.MaxDtOverT = "0.02";
    texts.Beta = "0.25";
    texts.Gamma = "0.5";
    texts.Gravity = "980";
    texts.Method = SolverMethod::PiecewiseExact;
    return texts;
}

SettingsTexts SettingsToTexts(const AnalysisSettings& settings, char decimalSeparator) {
    SettingsTexts texts;
    texts.MinPeriod = FormatGeneral(settings.MinPeriod, decimalSeparator);
    texts.MaxPeriod = FormatGeneral(settings.MaxPeriod, decimalSeparator);
    texts.PeriodStep = FormatGeneral(settings.PeriodStep, decimalSeparator);
    texts.MaxDtOverT = FormatGeneral(settings.MaxDtOverT, decimalSeparator);
    texts.Beta = FormatGeneral(settings.NewmarkBeta, decimalSeparator);
    texts.Gamma = FormatGeneral(settings.NewmarkGamma, decimalSeparator);
    texts.Gravity = FormatGeneral(settings.Gravity, decimalSeparator);
    texts.Method = settings.Method != 0 ? SolverMethod::Newmark : SolverMethod::PiecewiseExact;
    return texts;
}

std::variant<AnalysisSettings, SettingsFailure>
UpdateAnalysisSettings(const AnalysisSettings& current, const SettingsTexts& texts,
                       char decimalSeparator) {
    FieldReader reader{decimalSeparator, std::nullopt};

    const std::optional<double> minPeriod = reader.Read(texts.MinPeriod, SettingsField::MinPeriod);
    if (!minPeriod) {
        return *reader.failure;
    }
    if (*minPeriod <= 0) {
        return Fail("Min. Period must be greater than zero! ", SettingsField::MinPeriod);
    }

    const std::optional<double> maxPeriod = reader.Read(texts.MaxPeriod, SettingsField::MaxPeriod);
    if (!maxPeriod) {
        return *reader.failure;
    }
    if (*maxPeriod <= 0) {
        return Fail("Max. Period must be greater than zero! ", SettingsField::MaxPeriod);
    }
    if (*maxPeriod <= *minPeriod) {
        return Fail("Max. Period must be greater than Min. Period! ", SettingsField::MaxPeriod);
    }

    const std::optional<double> step = reader.Read(texts.PeriodStep, SettingsField::PeriodStep);
    if (!step) {
        return *reader.failure;
    }
    if (*step <= 0) {
        return Fail("Period Step must be greater than zero! ", SettingsField::PeriodStep);
    }
    if (*step > *maxPeriod - *minPeriod) {
        return Fail("periodstep must be less than [Max. Period - Min. Period] ! ",
                    SettingsField::PeriodStep);
    }
    // The grid is counted by the same repeated addition that builds it, so the
    // cap agrees with the grid exactly; counting stops at the cap, so this costs
    // at most MaxPeriodCount additions.
    if (PeriodGridSize(*minPeriod, *maxPeriod, *step, MaxPeriodCount) > MaxPeriodCount) {
        return Fail("Period Step is too small: the period grid would hold more than 100000 "
                    "periods! ",
                    SettingsField::PeriodStep);
    }

    const SolverMethod method = texts.Method;

    const std::optional<double> maxDtOverT =
        reader.Read(texts.MaxDtOverT, SettingsField::MaxDtOverT);
    if (!maxDtOverT) {
        return *reader.failure;
    }
    if (*maxDtOverT <= 0) {
        return Fail("Maximum dt/T  must be greater than zero! ", SettingsField::MaxDtOverT);
    }

    double beta = current.NewmarkBeta;
    double gamma = current.NewmarkGamma;
    if (method == SolverMethod::Newmark) {
        const std::optional<double> typedBeta = reader.Read(texts.Beta, SettingsField::Beta);
        if (!typedBeta) {
            return *reader.failure;
        }
        const std::optional<double> typedGamma = reader.Read(texts.Gamma, SettingsField::Gamma);
        if (!typedGamma) {
            return *reader.failure;
        }
        beta = *typedBeta;
        gamma = *typedGamma;
    }

    const std::optional<double> gravity = reader.Read(texts.Gravity, SettingsField::Gravity);
    if (!gravity) {
        return *reader.failure;
    }
    if (*gravity <= 0) {
        return Fail("Gravitational acceleration must be greater than zero! ",
                    SettingsField::Gravity);
    }

    AnalysisSettings updated = current;
    updated.MinPeriod = *minPeriod;
    updated.MaxPeriod = *maxPeriod;
    updated.PeriodStep = *step;
    updated.Method = static_cast<std::int32_t>(method);
    updated.MaxDtOverT = *maxDtOverT;
    updated.Gravity = *gravity;
    updated.NewmarkBeta = beta;
    updated.NewmarkGamma = gamma;
    return updated;
}
