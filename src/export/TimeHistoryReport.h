#pragma once

#include "export/ReportHeader.h"
#include "export/ReportLines.h"
#include "export/ReportWriter.h"
#include "record/Timeserie.h"

#include <optional>
#include <string>

// The column header of the time-history report.
inline constexpr const char* TimeHistoryColumnHeader =
    "No.,Time[sec],Acceleration[g],Corrected Acc.[g],Velocity[cm/sec],Corrected "
    "Vel.[cm/sec],Displacement[cm],Corrected Disp.[cm]";

// The lines of <base>_TH.csv: the seven header lines, the column header, and one
// line per sample: number (from 1), time i * dt ("0.00000"), then acceleration
// (g), velocity (cm/sec) and displacement (cm), each followed by its corrected
// value, all "0.00000000". An uncorrected record has "--" in the corrected
// fields. Numbers always use '.' as the decimal separator.
ReportLines BuildTimeHistoryReport(const TimeHistory& record, const std::string& softwareEdition,
                                   const ReportDate& date);

// The message for a record that holds a value no report may show (infinite or
// not a number), or nullopt when every value the report writes is finite.
std::optional<std::string> CheckTimeHistoryReportable(const TimeHistory& record);

// "Export Checked Data" for one record: checks it, builds its report and writes
// it to folder/<base>_TH.csv. Returns the message the user sees on failure.
std::optional<std::string>
ExportTimeHistoryReport(const TimeHistory& record, const std::string& softwareEdition,
                        const ReportDate& date, const std::string& folder,
                        ReportFileSystem& fileSystem = DefaultReportFileSystem());
