#include "export/TimeHistoryReport.h"

#include "text/NumberText.h"

#include <cmath>
#include <cstddef>

namespace {

// The value of sample i, or "--" where the series has none (the corrected
// series of an uncorrected record).
void AppendValue(std::string& line, const DOUBLEVECTOR* series, std::size_t i) {
    line += ',';
    if (series != nullptr && i < series->size()) {
        line += FormatFixed((*series)[i], 8, '.');
    } else {
        line += "--";
    }
}

} // namespace

ReportLines BuildTimeHistoryReport(const TimeHistory& record, const std::string& softwareEdition,
                                   const ReportDate& date) {
    ReportLines lines;
    AddReportHeader(lines, record, softwareEdition, date);
    lines.Add(TimeHistoryColumnHeader);

    const bool corrected = record.IsCorrected();
    const DOUBLEVECTOR& acceleration = record.GetAcceleration();
    const DOUBLEVECTOR* correctedAcceleration =
        corrected ? &record.GetCorrectedAcceleration() : nullptr;
    const DOUBLEVECTOR* velocity = &record.GetVelocity();
    const DOUBLEVECTOR* correctedVelocity = corrected ? &record.GetCorrectedVelocity() : nullptr;
    const DOUBLEVECTOR* displacement = &record.GetDisplacement();
    const DOUBLEVECTOR* correctedDisplacement =
        corrected ? &record.GetCorrectedDisplacement() : nullptr;
    const double dt = record.GetDt();

    std::string line;
    for (std::size_t i = 0; i < acceleration.size(); ++i) {
        line.clear();
        line += std::to_string(i + 1);
        line += ',';
        line += FormatFixed(static_cast<double>(i) * dt, 5, '.'); // s
        AppendValue(line, &acceleration, i);
        AppendValue(line, correctedAcceleration, i);
        AppendValue(line, velocity, i);
        AppendValue(line, correctedVelocity, i);
        AppendValue(line, displacement, i);
        AppendValue(line, correctedDisplacement, i);
        lines.Add(line);
    }
    return lines;
}

std::optional<std::string> CheckTimeHistoryReportable(const TimeHistory& record) {
    bool finite = std::isfinite(record.GetDt()) && AllFinite(record.GetAcceleration()) &&
                  AllFinite(record.GetVelocity()) && AllFinite(record.GetDisplacement());
    if (finite && record.IsCorrected()) {
        finite = AllFinite(record.GetCorrectedAcceleration()) &&
                 AllFinite(record.GetCorrectedVelocity()) &&
                 AllFinite(record.GetCorrectedDisplacement());
    }
    if (finite) {
        return std::nullopt;
    }
    return "The record " + record.GetName() +
           " holds values that are not finite numbers; its report is not written!";
}

std::optional<std::string> ExportTimeHistoryReport(const TimeHistory& record,
                                                   const std::string& softwareEdition,
                                                   const ReportDate& date,
                                                   const std::string& folder,
                                                   ReportFileSystem& fileSystem) {
    if (auto refusal = CheckTimeHistoryReportable(record)) {
        return refusal;
    }
    const std::string path = JoinReportPath(folder, TimeHistoryReportFileName(record.GetName()));
    return WriteReportFile(path, BuildTimeHistoryReport(record, softwareEdition, date), fileSystem);
}
