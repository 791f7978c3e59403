#include "import/GeoNetReader.h"

#include "import/ValueRows.h"
#include "text/NumberText.h"

#include <cmath>
#include <optional>
#include <variant>

// A GeoNet V1A/V2A file holds the components of one station (three as the
// network publishes them), one after the other, each laid out as
//   16 text lines   line 1 "Corrected accelerogram <id> GNS Science" (V1A:
//                   "Uncorrected"), 2 "Site WPWS ...", 3 the site name, 8 the
//                   time, 10 "Number of points  5800 ...", 11 (V1A) "Raw
//                   readings in units of 1.00 mm/s/s ...", 13 "Component S16W
//                   ...", 14 "Acceleration:  peak    -41.6 mm/s/s at ..."
//   4 integer lines (10I8): line 4 fields 4, 5, 6 = the counts of the
//                   acceleration, velocity and displacement blocks
//   6 real lines (10F8.x): line 3 field 5 = the recorder's sample interval,
//                   field 6 = the interval of the samples in this file (a V2A
//                   file is resampled: 0.0050 and 0.0200), field 10 = g in mm/s²
//   the acceleration block (mm/s²), then the velocity (mm/s) and displacement
//   (mm) blocks when their counts are not 0; 10 values a row, 8 wide.

namespace {

constexpr std::size_t TextLines = 16;
constexpr std::size_t IntegerCount = 40;
constexpr std::size_t RealCount = 60;
constexpr FortranLayout HeaderLayout{10, 8};
constexpr FortranLayout DataLayout{10, 8};
constexpr std::size_t IntegerLines = IntegerCount / 10;

// Integer header slots (0-based): line 4, fields 4 to 6.
constexpr std::size_t AccelerationCountSlot = 33;
constexpr std::size_t VelocityCountSlot = 34;
constexpr std::size_t DisplacementCountSlot = 35;
// Real header slot: line 3, field 6.
constexpr std::size_t SampleIntervalSlot = 25;

bool IsComponentStart(std::string_view line) {
    return line.find("GNS Science") != std::string_view::npos &&
           (FindNoCase(line, "Corrected accelerogram") != std::string_view::npos ||
            FindNoCase(line, "Uncorrected accelerogram") != std::string_view::npos);
}

// The first whole number after `key` on the line ("Number of points  5800").
std::optional<double> NumberAfter(std::string_view line, std::string_view key) {
    const std::size_t at = line.find(key);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view rest = TrimLine(line.substr(at + key.size()));
    return ParseFieldNumber(rest.substr(0, rest.find_first_of(" \t")));
}

// A count of an integer header slot; nullopt when it is not a count.
std::optional<std::size_t> SlotCount(double value) {
    if (!(value >= 0) || value != std::floor(value) || value > 1e9) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(value);
}

struct Component {
    std::string Label;
    double Dt = 0;
    DOUBLEVECTOR Samples; // g
    RecordInfo Info;
};

// A step of reading a component: its result, or the warning that refuses the
// file.
template <typename T> using OrWarning = std::variant<T, std::string>;

// The integer and real headers' values.
struct Headers {
    DOUBLEVECTOR Ints;
    DOUBLEVECTOR Reals;
};

// The counts of the acceleration, velocity and displacement blocks.
struct BlockCounts {
    std::size_t Acceleration = 0;
    std::size_t Velocity = 0;
    std::size_t Displacement = 0;
};

class GeoNetReader final : public RecordFormat {
public:
    RecordFormatId Id() const override { return RecordFormatId::GeoNet; }
    std::string_view Name() const override { return "GeoNet"; }
    std::string_view Key() const override { return "geonet"; }

    bool Recognises(const std::vector<std::string>& lines) const override {
        if (lines.empty() || !IsComponentStart(lines[0])) {
            return false;
        }
        // Line 10 gives the count where the file is that long; a file cut
        // short above it is still this format.
        return lines.size() < 10 || TrimLine(lines[9]).rfind("Number of points", 0) == 0;
    }

    FormatReadOutcome Read(const std::string& name, const std::vector<std::string>& lines,
                           const FormatReadOptions& options) const override {
        FormatReadOutcome outcome;
        std::vector<Component> components;
        std::size_t start = 0;
        while (true) {
            while (start < lines.size() && TrimLine(lines[start]).empty()) {
                ++start;
            }
            if (start >= lines.size()) {
                break;
            }
            Component component;
            std::string warning =
                ReadComponent(name, lines, start, components.size() + 1, options, component);
            if (!warning.empty()) {
                // One broken component refuses the file: no record of it.
                outcome.Warning = std::move(warning);
                return outcome;
            }
            components.push_back(std::move(component));
        }
        if (components.empty()) {
            outcome.Warning = FileWarning(name, "the file is empty");
            return outcome;
        }
        for (std::size_t k = 0; k < components.size(); ++k) {
            // A label met before (GeoNet files sometimes repeat one) is made
            // unique by the component's position.
            std::string label = components[k].Label;
            for (std::size_t other = 0; other < k; ++other) {
                if (components[other].Label == components[k].Label) {
                    label += std::to_string(k + 1);
                    break;
                }
            }
            outcome.Records.push_back(MakeRecord(ComponentRecordName(name, label), components[k].Dt,
                                                 components[k].Samples,
                                                 std::move(components[k].Info)));
        }
        return outcome;
    }

private:
    // Reads the component whose first line is lines[start], step by step;
    // `start` is moved past it. Empty when read; else the warning of the
    // first step that fails.
    static std::string ReadComponent(const std::string& name, const std::vector<std::string>& lines,
                                     std::size_t& start, std::size_t position,
                                     const FormatReadOptions& options, Component& component) {
        const std::string which = "component " + std::to_string(position);
        const OrWarning<Headers> headersRead = ReadHeaders(name, lines, start, which);
        if (const std::string* warning = std::get_if<std::string>(&headersRead)) {
            return *warning;
        }
        const Headers& headers = std::get<Headers>(headersRead);
        const OrWarning<BlockCounts> countsRead =
            ReadBlockCounts(name, lines, start, which, headers.Ints);
        if (const std::string* warning = std::get_if<std::string>(&countsRead)) {
            return *warning;
        }
        const BlockCounts& counts = std::get<BlockCounts>(countsRead);
        const std::size_t realLine = start + TextLines + IntegerLines;
        const double dt = headers.Reals[SampleIntervalSlot];
        const std::size_t dtLine = realLine + SampleIntervalSlot / HeaderLayout.PerRow;
        if (!(dt > 0) || !std::isfinite(dt)) {
            return ComponentWarning(name, which, dtLine,
                                    "the sample interval (real header line 3, field 6) is " +
                                        FormatGeneral(dt) + " s: it must be positive");
        }
        const double unit = RawUnit(lines, start);

        // The acceleration block, read; the velocity and displacement blocks
        // (VORSEN integrates its own) only checked for their rows.
        DOUBLEVECTOR values;
        std::size_t next = 0;
        const std::size_t first = realLine + RealCount / HeaderLayout.PerRow;
        if (const std::optional<RowFailure> failure =
                ReadFixedWidthValues(lines, first, counts.Acceleration, DataLayout, values, next)) {
            if (failure->Detail.rfind("the file ends", 0) == 0) {
                return FileWarning(name, which + ": " + failure->Detail);
            }
            return ComponentWarning(name, which, failure->Line, failure->Detail);
        }
        const OrWarning<std::size_t> endRead = CheckBlocks(name, lines, first, which, counts);
        if (const std::string* warning = std::get_if<std::string>(&endRead)) {
            return *warning;
        }
        if (std::string warning = ConvertToG(name, which, first, unit, options.Gravity, values);
            !warning.empty()) {
            return warning;
        }
        component.Samples = std::move(values);
        component.Dt = dt;
        ReadInfo(lines, start, component);
        start = std::get<std::size_t>(endRead);
        return "";
    }

    static std::string ComponentWarning(const std::string& name, const std::string& which,
                                        std::size_t index, const std::string& detail) {
        return LineWarning(name, index + 1, which + ": " + detail);
    }

    // The text lines' first and component lines, then the integer and real
    // headers.
    static OrWarning<Headers> ReadHeaders(const std::string& name,
                                          const std::vector<std::string>& lines, std::size_t start,
                                          const std::string& which) {
        if (!IsComponentStart(lines[start])) {
            return ComponentWarning(name, which, start,
                                    "expected its first header line (\"Corrected accelerogram ... "
                                    "GNS Science\"); found " +
                                        QuoteFileText(HeaderText(lines[start])));
        }
        if (start + TextLines <= lines.size() &&
            HeaderText(lines[start + 12]).rfind("Component ", 0) != 0) {
            return ComponentWarning(name, which, start + 12,
                                    "expected \"Component S16W\"; found " +
                                        QuoteFileText(HeaderText(lines[start + 12])));
        }
        const std::size_t intLine = start + TextLines;
        const std::size_t realLine = intLine + IntegerLines;
        if (realLine >= lines.size()) {
            return FileWarning(name, "the file ends inside the header of " + which);
        }
        Headers headers;
        std::size_t next = 0;
        if (const std::optional<RowFailure> failure = ReadFixedWidthValues(
                lines, intLine, IntegerCount, HeaderLayout, headers.Ints, next)) {
            return ComponentWarning(name, which, failure->Line,
                                    "integer header: " + failure->Detail);
        }
        if (const std::optional<RowFailure> failure = ReadFixedWidthValues(
                lines, realLine, RealCount, HeaderLayout, headers.Reals, next)) {
            if (failure->Detail.rfind("the file ends", 0) == 0) {
                return FileWarning(name, "the file ends inside the header of " + which);
            }
            return ComponentWarning(name, which, failure->Line, "real header: " + failure->Detail);
        }
        return headers;
    }

    // The counts of the three blocks (integer header line 4), the
    // acceleration's also stated on line 10.
    static OrWarning<BlockCounts> ReadBlockCounts(const std::string& name,
                                                  const std::vector<std::string>& lines,
                                                  std::size_t start, const std::string& which,
                                                  const DOUBLEVECTOR& ints) {
        const std::size_t countLine =
            start + TextLines + AccelerationCountSlot / HeaderLayout.PerRow;
        const std::optional<std::size_t> accelerationCount = SlotCount(ints[AccelerationCountSlot]);
        const std::optional<std::size_t> velocityCount = SlotCount(ints[VelocityCountSlot]);
        const std::optional<std::size_t> displacementCount = SlotCount(ints[DisplacementCountSlot]);
        if (!accelerationCount || !velocityCount || !displacementCount) {
            return ComponentWarning(name, which, countLine,
                                    "the counts of the acceleration, velocity and displacement "
                                    "blocks (fields 4 to 6) are not counts");
        }
        if (*accelerationCount == 0) {
            return ComponentWarning(name, which, countLine,
                                    "the acceleration block holds no values (field 4 is 0)");
        }
        // Line 10 states the same count.
        const std::optional<double> stated = NumberAfter(lines[start + 9], "Number of points");
        if (!stated) {
            return ComponentWarning(name, which, start + 9,
                                    "expected \"Number of points  5800\"; found " +
                                        QuoteFileText(HeaderText(lines[start + 9])));
        }
        if (*stated != static_cast<double>(*accelerationCount)) {
            return ComponentWarning(name, which, start + 9,
                                    "the header states " + FormatGeneral(*stated) +
                                        " points here but " + std::to_string(*accelerationCount) +
                                        " in the integer header");
        }
        return BlockCounts{*accelerationCount, *velocityCount, *displacementCount};
    }

    // "Raw readings in units of 1.00 mm/s/s" (V1A, line 11): the size of one
    // unit; 1 where the line does not state it.
    static double RawUnit(const std::vector<std::string>& lines, std::size_t start) {
        if (const std::optional<double> size = NumberAfter(lines[start + 10], "in units of")) {
            if (*size > 0 && lines[start + 10].find("mm/s/s") != std::string::npos) {
                return *size;
            }
        }
        return 1;
    }

    // The rows of the blocks from lines[first] on, then no values beyond the
    // last block's count before the next component; the index of the line
    // after the blocks.
    static OrWarning<std::size_t> CheckBlocks(const std::string& name,
                                              const std::vector<std::string>& lines,
                                              std::size_t first, const std::string& which,
                                              const BlockCounts& counts) {
        struct Block {
            const char* Name;
            std::size_t Count;
        };
        std::size_t blockStart = first;
        std::size_t lastCount = 0;
        for (const Block block :
             {Block{"acceleration", counts.Acceleration}, Block{"velocity", counts.Velocity},
              Block{"displacement", counts.Displacement}}) {
            if (block.Count == 0) {
                continue;
            }
            const std::size_t rows = (block.Count + DataLayout.PerRow - 1) / DataLayout.PerRow;
            if (blockStart + rows > lines.size()) {
                return FileWarning(name, which + ": the file ends inside its " +
                                             std::string(block.Name) + " block");
            }
            for (std::size_t j = blockStart; j < blockStart + rows; ++j) {
                if (TrimLine(lines[j]).empty()) {
                    return ComponentWarning(name, which, j,
                                            "a blank line inside its " + std::string(block.Name) +
                                                " block");
                }
            }
            if (const std::optional<RowFailure> failure =
                    CheckShortLastRow(lines, blockStart, block.Count, DataLayout)) {
                return ComponentWarning(name, which, failure->Line, failure->Detail);
            }
            blockStart += rows;
            lastCount = block.Count;
        }
        for (std::size_t j = blockStart; j < lines.size() && !IsComponentStart(lines[j]); ++j) {
            const std::string_view line = TrimLine(lines[j]);
            if (!line.empty() && ParseFieldNumber(line.substr(0, line.find_first_of(" \t")))) {
                return ComponentWarning(name, which, j,
                                        "more values than the header states (" +
                                            std::to_string(lastCount) + ")");
            }
        }
        return blockStart;
    }

    // The values, read from lines[first] on in units of `unit` mm/s², in g.
    // Empty when converted; else the warning.
    static std::string ConvertToG(const std::string& name, const std::string& which,
                                  std::size_t first, double unit, double gravity,
                                  DOUBLEVECTOR& values) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] = AccelerationToG(values[i] * unit, AccelerationUnits::MmPerS2, gravity);
            if (!std::isfinite(values[i])) {
                return ComponentWarning(name, which, first + i / DataLayout.PerRow,
                                        "Floating point overflow");
            }
        }
        return "";
    }

    // Station, time, component and stated peak from the text lines.
    static void ReadInfo(const std::vector<std::string>& lines, std::size_t start,
                         Component& component) {
        RecordInfo& info = component.Info;
        info.Format = "GeoNet";
        info.SourceUnits = std::string(AccelerationUnitsText(AccelerationUnits::MmPerS2));
        // Line 2: "Site WPWS      39 56 38S  176 35 04E ...", line 3 the site's name.
        const std::string site = HeaderText(lines[start + 1]);
        if (site.rfind("Site ", 0) == 0) {
            info.Station = site.substr(5, site.find(' ', 5) - 5);
        }
        const std::string siteName = HeaderText(lines[start + 2]);
        if (!siteName.empty()) {
            info.Station += (info.Station.empty() ? "" : " ") + siteName;
        }
        info.EventTime = HeaderText(lines[start + 7]);
        // Line 13: "Component S16W  Longitudinal Accelerometer Axis".
        const std::string label = HeaderText(lines[start + 12]);
        if (label.rfind("Component ", 0) == 0) {
            component.Label = label.substr(10, label.find(' ', 10) - 10);
        }
        info.Component = component.Label;
        // Line 14: "Acceleration:  peak    -41.6 mm/s/s at  43.68 sec ...".
        const std::string peak = HeaderText(lines[start + 13]);
        const std::size_t at = FindNoCase(peak, "peak ");
        if (at != std::string::npos) {
            const std::size_t end = peak.find(" at ", at);
            info.StatedPeak = peak.substr(at + 5, end == std::string::npos ? end : end - at - 5);
        }
    }
};

} // namespace

const RecordFormat& GeoNetFormat() {
    static const GeoNetReader format;
    return format;
}
