#pragma once

#include "export/ReportHeader.h"
#include "export/ReportLines.h"
#include "export/ReportWriter.h"
#include "record/Timeserie.h"
#include "spectra/AnalysisSettings.h"
#include "spectra/SpectraEngine.h"

#include <optional>
#include <string>
#include <vector>

// "Period[sec]," and the five blocks Disp., Vel., Acc., Pseudo-Vel., Pseudo-Acc.,
// each with one entry per damping ratio: prefix, ratio x 100 as "0.###", "%,".
std::string SpectraColumnHeader(const DOUBLEVECTOR& dampingRatios);

// "Error calculation : DampingRatio: <ratio>  Period :<period>", both numbers
// in the general form (the ratio as a fraction, 0.05).
std::string SpectraReportFailureMessage(double dampingRatio, double period,
                                        char decimalSeparator = '.');

// The report of one record, built in memory.
struct SpectraReportResult {
    ReportLines Lines; // empty when refused
    // One plain message per period whose oscillators could not be computed (the
    // record's chosen acceleration series is empty); such a row holds only
    // the period. The report is still written.
    std::vector<std::string> Messages;
    // Set when no report may be written: inputs the oscillators cannot
    // compute or a result that is not a finite number, with the same text the
    // spectra analysis shows.
    std::optional<std::string> Refusal;
};

// The lines of <base>_RS.csv for `record`: the seven header lines, the column
// header, the zero-period row (0 for SD, SV and PSV, the record's uncorrected
// PeakAcceleration() for SA and PSA), then one row per period entry 1 ... of
// `periods`: the period and SD, SV, SA, PSV, PSA for every damping ratio, all
// "0.000000" followed by ",". `dampingRatios` ascending and `periods` with
// entry 0 = 0, as the damping list and period grid build them. The peaks come
// from the spectra engine on the record's corrected acceleration when it is
// corrected, else its acceleration; PSV = omega SD, PSA = omega² SD / Gravity.
// Numbers in the report always use '.'; messages use `messageDecimalSeparator`.
SpectraReportResult BuildSpectraReport(SpectraEngine& engine, const TimeHistory& record,
                                       const AnalysisSettings& settings,
                                       const DOUBLEVECTOR& dampingRatios,
                                       const DOUBLEVECTOR& periods,
                                       const std::string& softwareEdition, const ReportDate& date,
                                       char messageDecimalSeparator = '.');

// What exporting one record's spectra report has to tell the user.
struct SpectraExportResult {
    // Plain messages (solver failures), in order; shown before Error.
    std::vector<std::string> Messages;
    // A refusal or a write failure (warning): the export stops at this record.
    std::optional<std::string> Error;
};

// "Export Checked" for one record: builds its report and writes it to
// folder/<base>_RS.csv (nothing is written on a refusal).
SpectraExportResult ExportSpectraReport(
    SpectraEngine& engine, const TimeHistory& record, const AnalysisSettings& settings,
    const DOUBLEVECTOR& dampingRatios, const DOUBLEVECTOR& periods,
    const std::string& softwareEdition, const ReportDate& date, const std::string& folder,
    ReportFileSystem& fileSystem = DefaultReportFileSystem(), char messageDecimalSeparator = '.');
