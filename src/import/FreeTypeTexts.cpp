#include "import/FreeTypeTexts.h"

#include "text/NumberText.h"

#include <optional>

std::variant<FreeTypeParameters, FreeTypeFailure> ReadFreeTypeParameters(const FreeTypeTexts& texts,
                                                                         char decimalSeparator) {
    const std::optional<double> timeStep = ParseUserNumber(texts.TimeStep, decimalSeparator);
    if (!timeStep) {
        return FreeTypeFailure{NotAValidFloatingNumber(texts.TimeStep),
                               FreeTypeFailure::Field::TimeStep};
    }
    const std::optional<double> scalingFactor =
        ParseUserNumber(texts.ScalingFactor, decimalSeparator);
    if (!scalingFactor) {
        return FreeTypeFailure{NotAValidFloatingNumber(texts.ScalingFactor),
                               FreeTypeFailure::Field::ScalingFactor};
    }
    FreeTypeParameters parameters;
    parameters.TimeStep = *timeStep;
    parameters.ScalingFactor = *scalingFactor;
    parameters.LinesToSkip = texts.LinesToSkip;
    parameters.Delimiter = texts.Delimiter;
    parameters.AccelerationColumn = texts.AccelerationColumn;
    return parameters;
}
