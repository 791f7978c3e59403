#pragma once

#include "import/FreeFormatReader.h"

#include <string>
#include <variant>

// What the two typed fields of "Input File Parameters" hold, with the choices of
// the other controls.
struct FreeTypeTexts {
    std::string TimeStep;      // "Time Step dt ( s )"
    std::string ScalingFactor; // "Scaling Factor"
    int LinesToSkip = 0;
    FieldDelimiter Delimiter = FieldDelimiter::Comma;
    int AccelerationColumn = 1;
};

// A typed field that does not hold a number: the message shown and the field.
struct FreeTypeFailure {
    enum class Field { TimeStep, ScalingFactor };
    std::string Message;
    Field Focus;
};

// The test of the import parameters: the time step, then the scaling factor,
// must convert, with the user's decimal separator or with '.' (no range test).
// Returns the parameters or the first failure.
std::variant<FreeTypeParameters, FreeTypeFailure> ReadFreeTypeParameters(const FreeTypeTexts& texts,
                                                                         char decimalSeparator);
