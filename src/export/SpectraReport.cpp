#include "export/SpectraReport.h"

#include "spectra/SpectraAnalysis.h"
#include "text/NumberText.h"

#include <cstddef>
#include <utility>

namespace {

void AppendNumber(std::string& row, double value) {
    row += FormatFixed(value, 6, '.');
    row += ',';
}

} // namespace

std::string SpectraColumnHeader(const DOUBLEVECTOR& dampingRatios) {
    static const char* const prefixes[] = {
        "Disp.Damp.=", "Vel.Damp.=", "Acc.Damp.=", "Pseudo-Vel.Damp.=", "Pseudo-Acc.Damp.="};
    std::string header = "Period[sec],";
    for (const char* prefix : prefixes) {
        for (double ratio : dampingRatios) {
            header += prefix;
            header += FormatUpTo(ratio * 100, 3, '.');
            header += "%,";
        }
    }
    return header;
}

std::string SpectraReportFailureMessage(double dampingRatio, double period, char decimalSeparator) {
    return "Error calculation : DampingRatio: " + FormatGeneral(dampingRatio, decimalSeparator) +
           "  Period :" + FormatGeneral(period, decimalSeparator);
}

SpectraReportResult BuildSpectraReport(SpectraEngine& engine, const TimeHistory& record,
                                       const AnalysisSettings& settings,
                                       const DOUBLEVECTOR& dampingRatios,
                                       const DOUBLEVECTOR& periods,
                                       const std::string& softwareEdition, const ReportDate& date,
                                       char messageDecimalSeparator) {
    SpectraReportResult result;
    // The same computation as "Analyze and Refresh", on this record.
    SpectraCurves curves;
    SpectraOutcome outcome = ComputeSpectraCurves(engine, record, settings, dampingRatios, periods,
                                                  curves, messageDecimalSeparator);
    if (outcome.Refusal) {
        result.Refusal = std::move(outcome.Refusal);
        return result;
    }
    const std::size_t ratioCount = dampingRatios.size();
    // Without samples every oscillator fails at its first damping ratio: the
    // rows keep only their period.
    const bool computed = !record.GetAccelerationSeries(record.IsCorrected()).empty() &&
                          curves.SD.size() == ratioCount;

    ReportLines& lines = result.Lines;
    AddReportHeader(lines, record, softwareEdition, date);
    lines.Add(SpectraColumnHeader(dampingRatios));
    if (periods.empty()) {
        return result;
    }

    std::string row;
    // Period 0: no oscillator; SA and PSA are the peak ground acceleration.
    const double peak = record.PeakAcceleration(); // g, uncorrected
    AppendNumber(row, periods[0]);
    for (int block = 0; block < 5; ++block) {
        const bool acceleration = block == 2 || block == 4;
        for (std::size_t j = 0; j < ratioCount; ++j) {
            AppendNumber(row, acceleration ? peak : 0.0);
        }
    }
    lines.Add(row);

    for (std::size_t i = 1; i < periods.size(); ++i) {
        row.clear();
        AppendNumber(row, periods[i]);
        if (!computed) {
            if (ratioCount > 0) {
                result.Messages.push_back(SpectraReportFailureMessage(dampingRatios[0], periods[i],
                                                                      messageDecimalSeparator));
            }
            lines.Add(row);
            continue;
        }
        for (const std::vector<DOUBLEVECTOR>* block :
             {&curves.SD, &curves.SV, &curves.SA, &curves.PSV, &curves.PSA}) {
            for (std::size_t j = 0; j < ratioCount; ++j) {
                AppendNumber(row, (*block)[j][i]);
            }
        }
        lines.Add(row);
    }
    return result;
}

SpectraExportResult ExportSpectraReport(SpectraEngine& engine, const TimeHistory& record,
                                        const AnalysisSettings& settings,
                                        const DOUBLEVECTOR& dampingRatios,
                                        const DOUBLEVECTOR& periods,
                                        const std::string& softwareEdition, const ReportDate& date,
                                        const std::string& folder, ReportFileSystem& fileSystem,
                                        char messageDecimalSeparator) {
    SpectraReportResult report =
        BuildSpectraReport(engine, record, settings, dampingRatios, periods, softwareEdition, date,
                           messageDecimalSeparator);
    SpectraExportResult result;
    result.Messages = std::move(report.Messages);
    if (report.Refusal) {
        result.Error = std::move(report.Refusal);
        return result;
    }
    const std::string path = JoinReportPath(folder, SpectraReportFileName(record.GetName()));
    result.Error = WriteReportFile(path, report.Lines, fileSystem);
    return result;
}
