#include "import/CosmosReader.h"

#include "import/ValueRows.h"
#include "text/NumberText.h"

#include <cmath>
#include <optional>
#include <variant>

// A COSMOS file holds one or more records (channels), each laid out as
//   line 1        "<data type>  (Format v01.20 with 13 text lines) ..."
//   text lines    station, times, "Max = -161.962 cm/sec2 at 27.850 sec", the
//                 "unknown" values ("... unknown/unspecified:   -999, -999.0")
//   "100 Integer-header values follow on  10 lines, Format= (10I8)" and its lines
//   "100 Real-header values follow on  17 lines, Format= (6F13.6)" and its lines
//   "  2 Comment line(s) follow, each starting with a "|":" and those lines
//   "   7000  acceleration pts, approx   70 secs, units=cm/sec2(04),Format=(8F10.5)"
//   the samples in that Fortran format (fields may touch)
//   "/&  ----------  End of data for channel  1  ----------" (optional)
// Integer header (0-based): [1] physical parameter (1 acceleration, 2 velocity,
// 3 displacement), [2] units code, [53] orientation. Real header: [61] sample
// interval in ms, [63] peak. Header values equal to the stated "unknown"
// values (or -999) are not known.

namespace {

constexpr std::string_view FormatMark = "(Format v";

// Integer header slots.
constexpr std::size_t PhysicalParameterSlot = 1;
constexpr std::size_t UnitsCodeSlot = 2;
constexpr std::size_t OrientationSlot = 53;
// Real header slots.
constexpr std::size_t SampleIntervalSlot = 61; // ms
constexpr std::size_t PeakSlot = 63;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The unsigned integer a line starts with (after blanks), followed by a blank
// or the end; nullopt when there is none.
std::optional<std::size_t> LeadingCount(std::string_view line) {
    const std::string_view text = TrimLine(line);
    std::size_t i = 0;
    std::size_t value = 0;
    while (i < text.size() && IsDigit(text[i])) {
        if (i >= 9) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::size_t>(text[i] - '0');
        ++i;
    }
    if (i == 0 || (i < text.size() && static_cast<unsigned char>(text[i]) > 32)) {
        return std::nullopt;
    }
    return value;
}

// The unsigned integer just before `pos` (blanks between allowed):
// "on  10 lines" with pos at "lines" gives 10.
std::optional<std::size_t> CountBefore(std::string_view line, std::size_t pos) {
    std::size_t end = pos;
    while (end > 0 && static_cast<unsigned char>(line[end - 1]) <= 32) {
        --end;
    }
    std::size_t begin = end;
    while (begin > 0 && IsDigit(line[begin - 1])) {
        --begin;
    }
    if (begin == end || end - begin > 9) {
        return std::nullopt;
    }
    std::size_t value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        value = value * 10 + static_cast<std::size_t>(line[i] - '0');
    }
    return value;
}

// "/&  ----------  End of data for channel  1  ----------", or written
// without the "/&": "End-of-data for Chan  1 acceleration".
bool IsEndOfData(std::string_view line) {
    return line.substr(0, 2) == "/&" || FindNoCase(line, "end of data") == 0 ||
           FindNoCase(line, "end-of-data") == 0;
}

bool IsRecordStart(std::string_view line) {
    return FindNoCase(line, FormatMark) != std::string_view::npos;
}

// "(Format v01.20 with 13 text lines)": the count of text lines.
std::optional<std::size_t> StatedTextLines(std::string_view line) {
    const std::size_t mark = FindNoCase(line, FormatMark);
    if (mark == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t words = FindNoCase(line, "text line", mark);
    if (words == std::string_view::npos) {
        return std::nullopt;
    }
    return CountBefore(line, words);
}

// "100 Real-header values follow on  17 lines, Format= (6F13.6)".
struct HeaderBlock {
    std::size_t Count = 0;
    std::size_t Lines = 0;
    FortranLayout Layout;
};

std::optional<HeaderBlock> ParseHeaderBlock(std::string_view line, std::string_view mark) {
    const std::size_t at = FindNoCase(line, mark);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<std::size_t> count = LeadingCount(line);
    const std::size_t linesWord = FindNoCase(line, "line", at + mark.size());
    const std::size_t format = FindNoCase(line, "format", at + mark.size());
    if (!count || linesWord == std::string_view::npos || format == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<std::size_t> lines = CountBefore(line, linesWord);
    const std::optional<FortranLayout> layout = ParseFortranLayout(line.substr(format));
    if (!lines || !layout) {
        return std::nullopt;
    }
    return HeaderBlock{*count, *lines, *layout};
}

// "   7000  acceleration pts, approx   70 secs, units=cm/sec2(04),Format=(8F10.5)".
struct DataLine {
    std::size_t Count = 0;
    std::string Quantity;               // the word after the count: "acceleration"
    std::string Units;                  // as written: "cm/sec2"
    std::optional<long long> UnitsCode; // the code in parentheses after the units
    FortranLayout Layout;
};

std::optional<DataLine> ParseDataLine(std::string_view line) {
    const std::optional<std::size_t> count = LeadingCount(line);
    const std::size_t format = FindNoCase(line, "format");
    if (!count || format == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<FortranLayout> layout = ParseFortranLayout(line.substr(format));
    if (!layout) {
        return std::nullopt;
    }
    DataLine data;
    data.Count = *count;
    data.Layout = *layout;
    const std::string_view text = TrimLine(line);
    std::size_t i = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
    }
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= 32) {
        ++i;
    }
    const std::size_t wordStart = i;
    while (i < text.size() && static_cast<unsigned char>(text[i]) > 32 && text[i] != ',') {
        ++i;
    }
    data.Quantity = std::string(text.substr(wordStart, i - wordStart));
    const std::size_t units = FindNoCase(line, "units=");
    if (units != std::string_view::npos) {
        std::size_t u = units + 6;
        const std::size_t unitsStart = u;
        while (u < line.size() && line[u] != '(' && line[u] != ',') {
            ++u;
        }
        data.Units = HeaderText(line.substr(unitsStart, u - unitsStart));
        if (u < line.size() && line[u] == '(') {
            const std::size_t close = line.find(')', u);
            if (close != std::string_view::npos) {
                const std::optional<double> code =
                    ParseFieldNumber(line.substr(u + 1, close - u - 1));
                if (code && *code == std::floor(*code) && std::fabs(*code) < 1e6) {
                    data.UnitsCode = static_cast<long long>(*code);
                }
            }
        }
    }
    return data;
}

// How the samples of one units code become g.
struct UnitsConversion {
    std::string_view Text;   // RecordInfo::SourceUnits
    double Factor = 1;       // file value x Factor is in `Units`
    AccelerationUnits Units; // then to g by AccelerationToG
};

std::optional<UnitsConversion> AccelerationUnitsOfCode(long long code) {
    switch (code) {
    case 2:
        return UnitsConversion{"g", 1, AccelerationUnits::G};
    case 4:  // cm/s/s
    case 10: // gal
        return UnitsConversion{"cm/s²", 1, AccelerationUnits::CmPerS2};
    case 7: // in/s/s
        return UnitsConversion{"in/s²", 2.54, AccelerationUnits::CmPerS2};
    case 11: // milli-g
        return UnitsConversion{"mg", 1e-3, AccelerationUnits::G};
    case 12: // micro-g
        return UnitsConversion{"µg", 1e-6, AccelerationUnits::G};
    default:
        return std::nullopt;
    }
}

// Units codes of quantities other than acceleration, for the refusal.
std::string_view QuantityOfUnitsCode(long long code) {
    switch (code) {
    case 5:
    case 8:
        return "velocity";
    case 6:
    case 9:
        return "displacement";
    case 50:
        return "raw counts";
    case 51:
    case 22:
        return "volts";
    default:
        return "";
    }
}

std::string OrientationLabel(double code) {
    if (code >= 0 && code <= 360 && code == std::floor(code)) {
        return std::to_string(static_cast<int>(code));
    }
    switch (static_cast<int>(code)) {
    case 400:
        return "Up";
    case 401:
        return "Down";
    case 402:
        return "Vert";
    case 500:
        return "Radl";
    case 501:
        return "Tran";
    case 600:
        return "Long";
    case 601:
        return "Tang";
    case 700:
        return "H1";
    case 701:
        return "H2";
    default:
        return "";
    }
}

std::string IntegerText(double value) {
    return std::to_string(static_cast<long long>(value));
}

// The values that stand for "unknown" in the two headers.
struct NullValues {
    double Integer = -999;
    double Real = -999;
};

// What reading one record of the file gave.
struct ChannelRead {
    std::string Warning;         // non-empty: the file is refused
    std::string NotAcceleration; // non-empty: what the record holds instead ("velocity")
    double Dt = 0;               // s
    DOUBLEVECTOR Samples;        // g
    RecordInfo Info;
    std::size_t Next = 0; // the line after the record
};

// A step of reading a record: its result, or the warning that refuses the file.
template <typename T> using OrWarning = std::variant<T, std::string>;

bool IsKnown(double value, double null) {
    return value != null && value != -999 && std::isfinite(value);
}

// The text header: where the integer header starts, the "unknown" values.
struct TextHeader {
    std::size_t IntLine = 0;
    NullValues Nulls;
};

// The values of the integer and real headers.
struct NumericHeaders {
    DOUBLEVECTOR Ints;
    DOUBLEVECTOR Reals;
    std::size_t Next = 0; // the line after them
};

// The data values as the file writes them.
struct DataBlock {
    DOUBLEVECTOR Values;
    std::size_t Next = 0; // the line after the record
};

class CosmosReader final : public RecordFormat {
public:
    RecordFormatId Id() const override { return RecordFormatId::Cosmos; }
    std::string_view Name() const override { return "COSMOS"; }
    std::string_view Key() const override { return "cosmos"; }

    bool Recognises(const std::vector<std::string>& lines) const override {
        if (lines.empty()) {
            return false;
        }
        const std::optional<std::size_t> textLines = StatedTextLines(lines[0]);
        if (!textLines || *textLines == 0) {
            return false;
        }
        // The integer header's line follows the text lines where the file is
        // that long; a file cut short inside its text is still this format.
        return lines.size() <= *textLines ||
               FindNoCase(lines[*textLines], "Integer-header values follow") !=
                   std::string_view::npos;
    }

    FormatReadOutcome Read(const std::string& name, const std::vector<std::string>& lines,
                           const FormatReadOptions& options) const override {
        FormatReadOutcome outcome;
        std::vector<ChannelRead> channels;
        std::size_t start = 0;
        while (true) {
            while (start < lines.size() && TrimLine(lines[start]).empty()) {
                ++start;
            }
            if (start >= lines.size()) {
                break;
            }
            ChannelRead channel = ReadChannel(name, lines, start, options);
            if (!channel.Warning.empty()) {
                outcome.Warning = std::move(channel.Warning);
                return outcome;
            }
            start = channel.Next;
            channels.push_back(std::move(channel));
        }
        if (channels.empty()) {
            outcome.Warning = FileWarning(name, "the file is empty");
            return outcome;
        }
        // A file of several records may hold velocity and displacement
        // beside the acceleration: those are left out.
        std::vector<const ChannelRead*> kept;
        for (const ChannelRead& channel : channels) {
            if (channel.NotAcceleration.empty()) {
                kept.push_back(&channel);
            }
        }
        if (kept.empty()) {
            outcome.Warning = FileWarning(
                name, name + " holds " + channels.front().NotAcceleration + ", not acceleration");
            return outcome;
        }
        for (std::size_t k = 0; k < kept.size(); ++k) {
            std::string recordName = name;
            if (kept.size() > 1) {
                // "<base>-<component>.<ext>"; a repeated or missing component
                // is made unique by the record's position.
                std::string label = kept[k]->Info.Component;
                bool repeated = label.empty();
                for (std::size_t other = 0; other < kept.size() && !repeated; ++other) {
                    repeated = other != k && kept[other]->Info.Component == label;
                }
                if (repeated) {
                    label += "ch" + std::to_string(k + 1);
                }
                recordName = ComponentRecordName(name, label);
            }
            outcome.Records.push_back(
                MakeRecord(std::move(recordName), kept[k]->Dt, kept[k]->Samples, kept[k]->Info));
        }
        return outcome;
    }

private:
    static ChannelRead Refused(std::string warning) {
        ChannelRead result;
        result.Warning = std::move(warning);
        return result;
    }

    // Reads the record whose first line is lines[start], step by step; the
    // first step that fails gives the warning.
    static ChannelRead ReadChannel(const std::string& name, const std::vector<std::string>& lines,
                                   std::size_t start, const FormatReadOptions& options) {
        const OrWarning<TextHeader> textRead = ReadTextHeader(name, lines, start);
        if (const std::string* warning = std::get_if<std::string>(&textRead)) {
            return Refused(*warning);
        }
        const TextHeader& text = std::get<TextHeader>(textRead);
        const OrWarning<NumericHeaders> headersRead = ReadNumericHeaders(name, lines, text.IntLine);
        if (const std::string* warning = std::get_if<std::string>(&headersRead)) {
            return Refused(*warning);
        }
        const NumericHeaders& headers = std::get<NumericHeaders>(headersRead);
        const OrWarning<std::size_t> commentsRead = ReadComments(name, lines, headers.Next);
        if (const std::string* warning = std::get_if<std::string>(&commentsRead)) {
            return Refused(*warning);
        }
        const std::size_t dataLine = std::get<std::size_t>(commentsRead);
        const OrWarning<DataLine> dataRead = ReadDataLine(name, lines, dataLine);
        if (const std::string* warning = std::get_if<std::string>(&dataRead)) {
            return Refused(*warning);
        }
        const DataLine& data = std::get<DataLine>(dataRead);
        const std::string holds =
            HeldQuantity(headers.Ints[PhysicalParameterSlot], text.Nulls.Integer, data.Quantity);

        // The values are read even when they are not acceleration: the next
        // record starts after them.
        const std::size_t first = dataLine + 1;
        OrWarning<DataBlock> blockRead = ReadDataBlock(name, lines, first, data);
        if (const std::string* warning = std::get_if<std::string>(&blockRead)) {
            return Refused(*warning);
        }
        DataBlock& block = std::get<DataBlock>(blockRead);
        ChannelRead result;
        result.Next = block.Next;
        if (!holds.empty()) {
            result.NotAcceleration = holds;
            return result;
        }

        const OrWarning<UnitsConversion> unitsRead =
            ReadUnits(name, dataLine, headers.Ints, text.Nulls.Integer, data);
        if (const std::string* warning = std::get_if<std::string>(&unitsRead)) {
            return Refused(*warning);
        }
        const UnitsConversion& units = std::get<UnitsConversion>(unitsRead);
        const OrWarning<double> dtRead = ReadSampleInterval(name, headers.Reals, text.Nulls.Real);
        if (const std::string* warning = std::get_if<std::string>(&dtRead)) {
            return Refused(*warning);
        }
        if (std::string warning =
                ConvertToG(name, first, data.Layout, units, options.Gravity, block.Values);
            !warning.empty()) {
            return Refused(std::move(warning));
        }
        result.Info = ChannelInfo(lines, start, text, headers, data, units);
        result.Dt = std::get<double>(dtRead);
        result.Samples = std::move(block.Values);
        return result;
    }

    // The first line and the text lines it counts.
    static OrWarning<TextHeader> ReadTextHeader(const std::string& name,
                                                const std::vector<std::string>& lines,
                                                std::size_t start) {
        const std::optional<std::size_t> textLines = StatedTextLines(lines[start]);
        if (!IsRecordStart(lines[start])) {
            return LineWarning(name, start + 1,
                               "expected the first line of a COSMOS header (\"Corrected "
                               "acceleration (Format v01.20 with 13 text lines)\"); found " +
                                   QuoteFileText(HeaderText(lines[start])));
        }
        if (!textLines || *textLines == 0) {
            return LineWarning(name, start + 1,
                               "the first header line does not state its count of text lines "
                               "(\"with 13 text lines\")");
        }
        const std::size_t intLine = start + *textLines;
        if (intLine >= lines.size()) {
            return FileWarning(name, "the file ends inside the text header");
        }
        return TextHeader{intLine, ReadNullValues(lines, start, intLine)};
    }

    // The integer header at lines[intLine], then the real header.
    static OrWarning<NumericHeaders> ReadNumericHeaders(const std::string& name,
                                                        const std::vector<std::string>& lines,
                                                        std::size_t intLine) {
        NumericHeaders headers;
        std::size_t realLine = 0;
        if (std::string warning =
                ReadHeaderBlock(name, lines, intLine, "Integer-header values follow", "integer",
                                "100 Integer-header values follow on 10 lines, Format= (10I8)",
                                PhysicalParameterSlot + 2, headers.Ints, realLine);
            !warning.empty()) {
            return warning;
        }
        if (std::string warning =
                ReadHeaderBlock(name, lines, realLine, "Real-header values follow", "real",
                                "100 Real-header values follow on 20 lines, Format= (5F15.6)",
                                SampleIntervalSlot + 1, headers.Reals, headers.Next);
            !warning.empty()) {
            return warning;
        }
        return headers;
    }

    // The count of comment lines at lines[commentLine], then those lines;
    // the index of the data line after them.
    static OrWarning<std::size_t> ReadComments(const std::string& name,
                                               const std::vector<std::string>& lines,
                                               std::size_t commentLine) {
        if (commentLine >= lines.size()) {
            return FileWarning(name, "the file ends before its comment lines");
        }
        const std::optional<std::size_t> comments = LeadingCount(lines[commentLine]);
        if (!comments || FindNoCase(lines[commentLine], "comment line") == std::string_view::npos) {
            return LineWarning(name, commentLine + 1,
                               "expected the count of comment lines (\"2 Comment line(s) "
                               "follow, each starting with a \"|\":\"); found " +
                                   QuoteFileText(HeaderText(lines[commentLine])));
        }
        for (std::size_t k = 1; k <= *comments; ++k) {
            const std::size_t j = commentLine + k;
            if (j >= lines.size()) {
                return FileWarning(name, "the file ends inside its comment lines");
            }
            const std::string_view comment = TrimLine(lines[j]);
            if (comment.empty() || comment.front() != '|') {
                return LineWarning(name, j + 1,
                                   "comment line " + std::to_string(k) + " of " +
                                       std::to_string(*comments) + " does not start with \"|\"");
            }
        }
        return commentLine + *comments + 1;
    }

    // The data line at lines[dataLine].
    static OrWarning<DataLine> ReadDataLine(const std::string& name,
                                            const std::vector<std::string>& lines,
                                            std::size_t dataLine) {
        if (dataLine >= lines.size()) {
            return FileWarning(name, "the file ends before its data");
        }
        std::optional<DataLine> data = ParseDataLine(lines[dataLine]);
        if (!data) {
            return LineWarning(name, dataLine + 1,
                               "expected the data line (\"7000 acceleration pts, approx 70 "
                               "secs, units=cm/sec2(04),Format=(8F10.5)\"); found " +
                                   QuoteFileText(HeaderText(lines[dataLine])));
        }
        if (data->Count == 0) {
            return LineWarning(name, dataLine + 1, "the data line states no values");
        }
        return std::move(*data);
    }

    // What the record holds when it is not acceleration ("velocity"), by the
    // integer header's physical parameter, else by the data line's word;
    // empty for acceleration.
    static std::string HeldQuantity(double parameter, double intNull, std::string_view quantity) {
        if (IsKnown(parameter, intNull) && parameter != 1) {
            if (parameter == 2) {
                return "velocity";
            }
            if (parameter == 3) {
                return "displacement";
            }
            if (parameter == 4) {
                return "relative displacement";
            }
            return "physical parameter " + IntegerText(parameter);
        }
        if (FindNoCase(quantity, "veloc") != std::string_view::npos) {
            return "velocity";
        }
        if (FindNoCase(quantity, "displ") != std::string_view::npos) {
            return "displacement";
        }
        return "";
    }

    // The data values from lines[first] on, as the file writes them, and
    // what follows them.
    static OrWarning<DataBlock> ReadDataBlock(const std::string& name,
                                              const std::vector<std::string>& lines,
                                              std::size_t first, const DataLine& data) {
        DataBlock block;
        std::size_t next = 0;
        if (const std::optional<RowFailure> failure =
                ReadFixedWidthValues(lines, first, data.Count, data.Layout, block.Values, next)) {
            return LineWarning(name, failure->Line + 1, failure->Detail);
        }
        if (const std::optional<RowFailure> failure =
                CheckShortLastRow(lines, first, data.Count, data.Layout)) {
            return LineWarning(name, failure->Line + 1, failure->Detail);
        }
        const OrWarning<std::size_t> after = SkipAfterData(name, lines, next, data.Count);
        if (const std::string* warning = std::get_if<std::string>(&after)) {
            return *warning;
        }
        block.Next = std::get<std::size_t>(after);
        return block;
    }

    // After the `count` values, from lines[next] on: blank lines, the
    // end-of-data line, another record. The index of the line after them.
    static OrWarning<std::size_t> SkipAfterData(const std::string& name,
                                                const std::vector<std::string>& lines,
                                                std::size_t next, std::size_t count) {
        std::size_t after = next;
        while (after < lines.size()) {
            const std::string_view line = TrimLine(lines[after]);
            if (IsRecordStart(line)) {
                break;
            }
            if (!line.empty() && !IsEndOfData(line)) {
                const std::size_t blank = line.find_first_of(" \t");
                if (ParseFieldNumber(line.substr(0, blank))) {
                    return LineWarning(name, after + 1,
                                       "more values than the header states (" +
                                           std::to_string(count) + ")");
                }
                return LineWarning(name, after + 1,
                                   "unexpected text after the " + std::to_string(count) +
                                       " values: " + QuoteFileText(line));
            }
            ++after;
        }
        return after;
    }

    // The units of the samples: the integer header's code, else the data
    // line's; the two must agree where both are stated.
    static OrWarning<UnitsConversion> ReadUnits(const std::string& name, std::size_t dataLine,
                                                const DOUBLEVECTOR& ints, double intNull,
                                                const DataLine& data) {
        std::optional<long long> code;
        if (IsKnown(ints[UnitsCodeSlot], intNull)) {
            code = static_cast<long long>(ints[UnitsCodeSlot]);
            if (data.UnitsCode && *data.UnitsCode != *code) {
                return LineWarning(
                    name, dataLine + 1,
                    "the units code of the data line (" + std::to_string(*data.UnitsCode) +
                        ") differs from the integer header's (" + std::to_string(*code) + ")");
            }
        } else {
            code = data.UnitsCode;
        }
        if (!code) {
            return LineWarning(name, dataLine + 1, "the units of the data are not stated");
        }
        if (const std::optional<UnitsConversion> units = AccelerationUnitsOfCode(*code)) {
            return *units;
        }
        const std::string_view quantity = QuantityOfUnitsCode(*code);
        if (quantity == "velocity" || quantity == "displacement") {
            return FileWarning(name,
                               name + " holds " + std::string(quantity) + ", not acceleration");
        }
        if (!quantity.empty()) {
            return FileWarning(name, "its values are " + std::string(quantity) + " (units code " +
                                         std::to_string(*code) + "), not acceleration");
        }
        return FileWarning(name, "unknown units code " + std::to_string(*code));
    }

    // The sample interval, s (the real header states it in ms).
    static OrWarning<double> ReadSampleInterval(const std::string& name, const DOUBLEVECTOR& reals,
                                                double realNull) {
        const double interval = reals[SampleIntervalSlot];
        const std::string intervalName = "the sample interval (real header value " +
                                         std::to_string(SampleIntervalSlot + 1) + ")";
        if (!IsKnown(interval, realNull)) {
            return FileWarning(name, intervalName + " is not stated");
        }
        if (!(interval > 0)) {
            return FileWarning(name, intervalName + " is " + FormatGeneral(interval) +
                                         " ms: it must be positive");
        }
        return interval / 1000.0;
    }

    // The values, read from lines[first] on in `layout`, in g. Empty when
    // converted; else the warning.
    static std::string ConvertToG(const std::string& name, std::size_t first,
                                  const FortranLayout& layout, const UnitsConversion& units,
                                  double gravity, DOUBLEVECTOR& values) {
        const std::size_t perRow = static_cast<std::size_t>(layout.PerRow);
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] = AccelerationToG(values[i] * units.Factor, units.Units, gravity);
            if (!std::isfinite(values[i])) {
                return LineWarning(name, first + i / perRow + 1, "Floating point overflow");
            }
        }
        return "";
    }

    // What the headers say of the record.
    static RecordInfo ChannelInfo(const std::vector<std::string>& lines, std::size_t start,
                                  const TextHeader& text, const NumericHeaders& headers,
                                  const DataLine& data, const UnitsConversion& units) {
        RecordInfo info;
        info.Format = "COSMOS";
        info.SourceUnits = std::string(units.Text);
        ReadTextInfo(lines, start, text.IntLine, info);
        const DOUBLEVECTOR& ints = headers.Ints;
        const DOUBLEVECTOR& reals = headers.Reals;
        if (ints.size() > OrientationSlot && IsKnown(ints[OrientationSlot], text.Nulls.Integer)) {
            info.Component = OrientationLabel(ints[OrientationSlot]);
        }
        if (info.StatedPeak.empty() && reals.size() > PeakSlot &&
            IsKnown(reals[PeakSlot], text.Nulls.Real)) {
            info.StatedPeak =
                FormatGeneral(reals[PeakSlot]) + (data.Units.empty() ? "" : " " + data.Units);
        }
        return info;
    }

    // One of the two numeric headers: its line, then its values. Empty when
    // read; else the warning.
    static std::string ReadHeaderBlock(const std::string& name,
                                       const std::vector<std::string>& lines, std::size_t at,
                                       std::string_view mark, const std::string& kind,
                                       const std::string& example, std::size_t needed,
                                       DOUBLEVECTOR& values, std::size_t& next) {
        if (at >= lines.size()) {
            return FileWarning(name, "the file ends before its " + kind + " header");
        }
        const std::optional<HeaderBlock> block = ParseHeaderBlock(lines[at], mark);
        if (!block) {
            return LineWarning(name, at + 1,
                               "expected the " + kind + " header's line (\"" + example +
                                   "\"); found " + QuoteFileText(HeaderText(lines[at])));
        }
        const std::size_t perRow = static_cast<std::size_t>(block->Layout.PerRow);
        const std::size_t rows = (block->Count + perRow - 1) / perRow;
        if (rows != block->Lines) {
            return LineWarning(name, at + 1,
                               "the " + kind + " header states " + std::to_string(block->Count) +
                                   " values on " + std::to_string(block->Lines) +
                                   " lines, but its format puts them on " + std::to_string(rows));
        }
        if (block->Count < needed) {
            return LineWarning(name, at + 1,
                               "the " + kind + " header holds " + std::to_string(block->Count) +
                                   " values; at least " + std::to_string(needed) + " are needed");
        }
        if (const std::optional<RowFailure> failure =
                ReadFixedWidthValues(lines, at + 1, block->Count, block->Layout, values, next)) {
            if (failure->Detail.rfind("the file ends", 0) == 0) {
                return FileWarning(name, "the file ends inside its " + kind + " header");
            }
            return LineWarning(name, failure->Line + 1, failure->Detail);
        }
        if (const std::optional<RowFailure> failure =
                CheckShortLastRow(lines, at + 1, block->Count, block->Layout)) {
            return LineWarning(name, failure->Line + 1,
                               "the " + kind + " header holds more than its " +
                                   std::to_string(block->Count) + " values");
        }
        return "";
    }

    // "Values used when parameter or data value is unknown/unspecified:   -999, -999.0".
    static NullValues ReadNullValues(const std::vector<std::string>& lines, std::size_t start,
                                     std::size_t end) {
        NullValues nulls;
        for (std::size_t j = start + 1; j < end; ++j) {
            const std::string_view line = lines[j];
            if (FindNoCase(line, "unknown") == std::string_view::npos) {
                continue;
            }
            const std::size_t colon = line.rfind(':');
            if (colon == std::string_view::npos) {
                continue;
            }
            const std::string_view rest = line.substr(colon + 1);
            const std::size_t comma = rest.find(',');
            if (comma == std::string_view::npos) {
                continue;
            }
            const std::optional<double> integer = ParseFieldNumber(rest.substr(0, comma));
            const std::optional<double> real = ParseFieldNumber(rest.substr(comma + 1));
            if (integer && real) {
                nulls.Integer = *integer;
                nulls.Real = *real;
            }
            break;
        }
        return nulls;
    }

    // Station, origin time and the stated peak from the text lines.
    static void ReadTextInfo(const std::vector<std::string>& lines, std::size_t start,
                             std::size_t end, RecordInfo& info) {
        for (std::size_t j = start + 1; j < end; ++j) {
            const std::string_view line = lines[j];
            if (info.EventTime.empty() && TrimLine(line).rfind("Origin:", 0) == 0) {
                info.EventTime = HeaderText(TrimLine(line).substr(7));
            }
            if (info.Station.empty() && TrimLine(line).rfind("Statn No:", 0) == 0) {
                const std::size_t code = line.find("Code:");
                info.Station = HeaderText(code == std::string_view::npos ? TrimLine(line).substr(9)
                                                                         : line.substr(code + 5));
            }
            // "Max =  -161.962 cm/sec2  at  27.850 sec" (the uncorrected
            // "max =" of the line before is left alone).
            const std::size_t max = line.find("Max =");
            if (info.StatedPeak.empty() && max != std::string_view::npos) {
                std::string_view rest = line.substr(max + 5);
                const std::size_t at = rest.find(" at ");
                info.StatedPeak = HeaderText(rest.substr(0, at));
            }
        }
    }
};

} // namespace

const RecordFormat& CosmosFormat() {
    static const CosmosReader format;
    return format;
}
