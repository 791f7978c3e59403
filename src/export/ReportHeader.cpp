#include "export/ReportHeader.h"

#include <cstdio>
#include <ctime>

ReportDate TodayReportDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        return ReportDate{};
    }
    return ReportDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string FormatReportDate(const ReportDate& date) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", date.Year, date.Month, date.Day);
    return buffer;
}

std::string BaselineCorrectionLine(const TimeHistory& record) {
    std::string line = "Baseline Correction Type: ";
    if (!record.IsCorrected()) {
        line += "No Baseline Correction";
    } else if (record.GetCorrectionType() ==
               static_cast<std::int32_t>(BaselineCorrection::Linear)) {
        line += "Linear";
    } else {
        line += "Parabolic";
    }
    return line;
}

namespace {

// A record name on one report line: a CR or LF (a file name may hold them) is
// written as the two characters \r or \n, so the line stays one CR LF line.
std::string OneLineName(const std::string& name) {
    std::string line;
    line.reserve(name.size());
    for (const char c : name) {
        if (c == '\r') {
            line += "\\r";
        } else if (c == '\n') {
            line += "\\n";
        } else {
            line += c;
        }
    }
    return line;
}

} // namespace

void AddReportHeader(ReportLines& lines, const TimeHistory& record,
                     const std::string& softwareEdition, const ReportDate& date) {
    lines.Add(ReportGeneratorLine);
    lines.Add(ReportNoticeLine);
    lines.Add("Software Edition: " + softwareEdition);
    lines.Add("");
    lines.Add("Report Time: " + FormatReportDate(date));
    lines.Add("Acceleration TimeHistory SourceFile: " + OneLineName(record.GetName()));
    lines.Add(BaselineCorrectionLine(record));
}

std::string ReportBaseName(const std::string& recordName) {
    const std::size_t dot = recordName.rfind('.');
    return dot == std::string::npos ? recordName : recordName.substr(0, dot);
}

std::string TimeHistoryReportFileName(const std::string& recordName) {
    return ReportBaseName(recordName) + "_TH.csv";
}

std::string SpectraReportFileName(const std::string& recordName) {
    return ReportBaseName(recordName) + "_RS.csv";
}

std::string JoinReportPath(const std::string& folder, const std::string& fileName) {
    if (folder.empty()) {
        return fileName;
    }
    if (folder.back() == '/') {
        return folder + fileName;
    }
    return folder + "/" + fileName;
}
