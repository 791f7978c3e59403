#pragma once

#include "record/Timeserie.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum class FieldDelimiter { Comma, Space };

// How the record files of one import are laid out; fixed for the whole import.
struct FreeTypeParameters {
    double TimeStep = 0.01;   // s, of every record
    double ScalingFactor = 1; // file value x ScalingFactor = acceleration in g
    int LinesToSkip = 0;      // header lines ignored at the top of each file, 0..100
    FieldDelimiter Delimiter = FieldDelimiter::Comma;
    int AccelerationColumn = 1; // 1-based field holding the acceleration, 1..100
};

// At most this many files are read by one import; the rest are ignored.
constexpr int MaxImportFiles = 10;

// The text of a file as lines: a byte-order mark selects UTF-8 or UTF-16 (LE/BE)
// and is skipped (UTF-16 is turned into UTF-8); without one the bytes are taken
// as they are. Lines end at CR LF, LF or CR; a break at the very end starts no
// further line; a NUL character ends the text.
std::vector<std::string> SplitTextLines(std::string_view bytes);

// Loads a regular file into lines. On failure returns false, leaves `lines`
// as they were and sets `detail` to
// Cannot open file "<path>". <reason>
// A named pipe, a device, a directory or a socket is refused without reading
// (the reason names its kind), as is a file whose reading would need more
// than the machine's physical memory.
bool LoadTextLines(const std::string& path, std::vector<std::string>& lines, std::string& detail);

// Splits one line into fields (strict comma splitting or loose blank
// splitting, double-quoted fields); the line is first stripped of characters
// with codes 0 to 32 at both ends. An empty line has no fields.
std::vector<std::string> SplitFields(std::string_view line, FieldDelimiter delimiter);

// One past the last data line: the lines from `first` (the first line after the
// header) on, less the blank ones (nothing but characters 0 to 32) that end
// the file. A blank line before a data line is not dropped: it is an error.
std::size_t DataLinesEnd(const std::vector<std::string>& lines, std::size_t first);

// The record name of a file: its name with extension, without the folder.
std::string RecordNameFromPath(const std::string& path);

// The result of reading one file: a record (integrated by the caller), or the
// exact warning text the user sees.
struct ReadOutcome {
    std::unique_ptr<TimeHistory> Record;
    std::string Warning;
};

// Reads one record file. Numbers are converted with the given decimal
// separator and, in addition, always with '.'. Blank lines at the end of the
// file are ignored; a blank line among the data lines fails at its number.
ReadOutcome ReadRecordFile(const std::string& path, const FreeTypeParameters& parameters,
                           char decimalSeparator = '.');
ReadOutcome ReadRecordLines(const std::string& name, const std::vector<std::string>& lines,
                            const FreeTypeParameters& parameters, char decimalSeparator = '.');
