#pragma once

#include <cstdint>
#include <string>
#include <variant>

enum class SolverMethod : std::int32_t { PiecewiseExact = 0, Newmark = 1 };

// The eight numbers that govern every spectrum computation. Defaults are the
// program defaults; invariants after a successful update: MinPeriod > 0,
// MaxPeriod > MinPeriod, 0 < PeriodStep <= MaxPeriod - MinPeriod,
// MaxDtOverT > 0, Gravity > 0.
struct AnalysisSettings {
    double Gravity = 980;     // cm/s²
    double MinPeriod = 0.02;  // s
    double MaxPeriod = 6;     // s
    double PeriodStep = 0.02; // s
    std::int32_t Method = 0;  // a SolverMethod
    double MaxDtOverT = 0.02; // largest sub-step / oscillator period
    double NewmarkBeta = 0.25;
    double NewmarkGamma = 0.5;
};

// The fields of the "Analysis Settings" dialog, in the order of the form.
enum class SettingsField { MinPeriod, MaxPeriod, PeriodStep, MaxDtOverT, Beta, Gamma, Gravity };

// The seven texts of the dialog and its method choice.
struct SettingsTexts {
    std::string MinPeriod;
    std::string MaxPeriod;
    std::string PeriodStep;
    std::string MaxDtOverT;
    std::string Beta;
    std::string Gamma;
    std::string Gravity;
    SolverMethod Method = SolverMethod::PiecewiseExact;
};

// The first failed check of an update: the message shown and the field that
// receives the focus.
struct SettingsFailure {
    std::string Message;
    SettingsField Field;
};

// The texts that "Program Defaults" writes into the dialog.
SettingsTexts DefaultSettingsTexts();

// The texts that show `settings` in the dialog (general form, 15 digits).
SettingsTexts SettingsToTexts(const AnalysisSettings& settings, char decimalSeparator = '.');

// "Update": checks the texts in the dialog's fixed order and returns either the
// complete new settings or the first failure. Beta and Gamma are read only for
// Newmark; with the piecewise exact method the current ones are kept.
std::variant<AnalysisSettings, SettingsFailure>
UpdateAnalysisSettings(const AnalysisSettings& current, const SettingsTexts& texts,
                       char decimalSeparator = '.');
