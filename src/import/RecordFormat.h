#pragma once

#include "import/FreeFormatReader.h"
#include "import/ValueRows.h"
#include "record/Timeserie.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The layouts VORSEN reads. FreeType is the column-of-numbers layout described
// by the user; the others are the standard formats of the strong-motion
// networks, whose header states the time step, the count and the units.
enum class RecordFormatId { FreeType, PeerNga, Knet, Cosmos, Esm, Smc, GeoNet };

// What a reader needs besides the file's lines.
struct FormatReadOptions {
    FreeTypeParameters FreeType; // the Free Type layout; the standard formats ignore it
    double Gravity = 980.0;      // cm/s²: samples in cm/s² (mm/s²) become g as value / Gravity
    char DecimalSeparator = '.'; // Free Type only: the standard formats always use '.'
};

// The records of one file (one per component it holds), or the warning the
// user sees; never both, and never a partial record.
struct FormatReadOutcome {
    std::vector<std::unique_ptr<TimeHistory>> Records;
    std::string Warning;
};

// One record file format.
class RecordFormat {
public:
    virtual ~RecordFormat() = default;
    virtual RecordFormatId Id() const = 0;
    // As the dialog and the record's description show it: "PEER NGA".
    virtual std::string_view Name() const = 0;
    // As vorsen-cli's --format takes it: "peer".
    virtual std::string_view Key() const = 0;
    // True when the file's first lines carry this format's header signature.
    // Free Type recognises nothing: it is what a file is when no format does.
    virtual bool Recognises(const std::vector<std::string>& lines) const = 0;
    // Reads the file's records. `name` is the file name with extension, no
    // folder; the samples of every record are in g and not yet integrated;
    // each record's RecordInfo is filled in.
    virtual FormatReadOutcome Read(const std::string& name, const std::vector<std::string>& lines,
                                   const FormatReadOptions& options) const = 0;
};

// Every format, Free Type first, then the standard ones in the dialog's order.
const std::vector<const RecordFormat*>& RecordFormats();
const RecordFormat& GetRecordFormat(RecordFormatId id);
// The format whose Key() is `key`; nullptr when none.
const RecordFormat* FindRecordFormat(std::string_view key);
// The standard format whose signature the lines carry; nullptr when none does
// (the file is then a Free Type file).
const RecordFormat* DetectStandardFormat(const std::vector<std::string>& lines);

// ---- Helpers shared by the readers ---------------------------------------

// Units of the acceleration samples a file holds.
enum class AccelerationUnits { G, CmPerS2, MmPerS2, MPerS2 };

// A sample in `units` as g: cm/s² divided by gravity (cm/s²), mm/s² divided by
// 10 first, m/s² multiplied by 100 first, g as it is.
double AccelerationToG(double value, AccelerationUnits units, double gravity);
// Reads blank-separated samples in `units` from lines[first..] as g (by
// `gravity`, cm/s²) into `samples`, appending, any count a row, at most `limit`, as
// ReadBlankSeparatedValues does; a sample whose value in g is beyond the range
// of doubles fails as "Floating point overflow" on its line.
std::optional<RowFailure> ReadSamplesInG(const std::vector<std::string>& lines, std::size_t first,
                                         DOUBLEVECTOR& samples, std::size_t limit,
                                         AccelerationUnits units, double gravity);
// Reads exactly the `stated` samples a header announces (ReadSamplesInG from
// lines[first...]). Returns the warning, empty on success: the line of a value
// that does not convert, or "the file holds N values, fewer than its header
// states (<countName> = M)". At most `valuesPerLine` values a line are
// reserved for ahead: a damaged count must not reserve gigabytes.
std::string ReadStatedSamplesInG(const std::string& name, const std::vector<std::string>& lines,
                                 std::size_t first, std::size_t stated, std::string_view countName,
                                 std::size_t valuesPerLine, AccelerationUnits units, double gravity,
                                 DOUBLEVECTOR& samples);
// "g", "cm/s²", "mm/s²", "m/s²": the RecordInfo::SourceUnits text.
std::string_view AccelerationUnitsText(AccelerationUnits units);
// The acceleration units a header writes as text, in any letter case and with
// or without blanks and parentheses: "G", "(g)", "gal", "cm/s^2", "CM/S/S",
// "cm/sec2", "cm/s**2", "mm/s/s", "m/s^2", ...; nullopt for anything else
// (velocity units such as "cm/s" included).
std::optional<AccelerationUnits> ParseAccelerationUnits(std::string_view text);

// The warnings of every reader, in the style of the Free Type reader's:
//   FILE: <name>. ERROR Line: <line>. ERROR: <detail>      (line is 1-based)
//   FILE: <name>, WARNING: <detail>
std::string LineWarning(const std::string& name, std::size_t line, const std::string& detail);
std::string FileWarning(const std::string& name, const std::string& detail);

// The name of one component's record of a file that holds several:
// "<base>-<label>.<extension>" with every character of `label` that is not an
// ASCII letter or digit left out ("WTMC_20.V2A", "N28W" -> "WTMC_20-N28W.V2A").
std::string ComponentRecordName(const std::string& fileName, std::string_view label);

// A line without the characters 0..32 at both ends.
std::string_view TrimLine(std::string_view line);

// A header text as the record's info keeps it: trimmed, each run of blanks
// inside it made one space ("Code:CE-J2236   CDMG" -> "Code:CE-J2236 CDMG").
std::string HeaderText(std::string_view text);

// A file's text as a warning quotes it: between single quotes, at most its
// first QuotedFileTextLength characters (UTF-8 characters are never cut in the
// middle) followed by "…" when there were more, and every control byte, C1
// control or byte that is not UTF-8 shown escaped ("\t", "\x01"), so that no
// text of a file reaches a terminal or a message box raw or unbounded.
inline constexpr std::size_t QuotedFileTextLength = 40;
std::string QuoteFileText(std::string_view text);

// Where `word` first occurs in `text` from `from` on, ASCII letters compared
// without case; std::string_view::npos when it does not.
std::size_t FindNoCase(std::string_view text, std::string_view word, std::size_t from = 0);

// One record from samples already in g, with its info.
std::unique_ptr<TimeHistory> MakeRecord(std::string name, double dt, const DOUBLEVECTOR& samples,
                                        RecordInfo info);

// "PEER NGA · 0.005 s · 16396 samples · g · Anaheim, comp 90": what the window
// shows about a record (format, time step, count, source units, then station,
// component, event time and stated peak where the header gave them).
std::string DescribeRecord(const TimeHistory& record);
