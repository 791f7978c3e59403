#include "import/SmcReader.h"

#include "import/ValueRows.h"
#include "text/NumberText.h"

#include <cmath>
#include <optional>

// A USGS SMC file holds one time series:
//   11 text lines   line 1 the data type ("2 CORRECTED ACCELEROGRAM"), line 3
//                   the station code, line 4 the event, line 6 "station = ...
//                   component= ...", line 7 "... pk = 104.4"
//   6 integer lines (8I10): [0] the integer "missing" value (-32768), [15] the
//                   count of comment lines, [16] the count of samples
//   10 real lines (5E15.7): [0] the real "missing" value (1.7E+38), [1]
//                   samples per second
//   comment lines, each starting with "|"
//   the samples (8E10.4, fields may touch: "1.5057E+0-2.2223E+0"), in cm/s²
// A digitised analog record holds unevenly spaced (time, value) pairs and no
// sampling rate (the real "missing" value instead).

namespace {

constexpr std::size_t TextLines = 11;
constexpr std::size_t IntegerCount = 48;
constexpr std::size_t RealCount = 50;
constexpr FortranLayout IntegerLayout{8, 10};
constexpr FortranLayout RealLayout{5, 15};
constexpr FortranLayout DataLayout{8, 10};
constexpr std::size_t IntegerLine = TextLines;     // 0-based index of the first integer line
constexpr std::size_t RealLine = TextLines + 6;    // of the first real line
constexpr std::size_t CommentLine = RealLine + 10; // of the first comment line

// Integer and real header slots.
constexpr std::size_t IntegerMissingSlot = 0;
constexpr std::size_t OrientationSlot = 13;
constexpr std::size_t CommentCountSlot = 15;
constexpr std::size_t SampleCountSlot = 16;
constexpr std::size_t RealMissingSlot = 0;
constexpr std::size_t SampleRateSlot = 1;

// The data types line 1 names after its code, and what the reader makes of them.
struct DataType {
    std::string_view Text;
    std::string_view Holds; // empty: acceleration
};
constexpr DataType DataTypes[] = {
    {"UNCORRECTED ACCELEROGRAM", ""},
    {"CORRECTED ACCELEROGRAM", ""},
    {"VELOCITY", "velocity"},
    {"DISPLACEMENT", "displacement"},
    {"RESPONSE SPECTRA", "response spectra"},
    {"FOURIER AMPLITUDE SPECTRA", "Fourier amplitude spectra"},
};

// Line 1: "<digit> <data type>", blanks around.
const DataType* ParseDataType(std::string_view line) {
    const std::string_view text = TrimLine(line);
    if (text.size() < 3 || text[0] < '0' || text[0] > '9' ||
        static_cast<unsigned char>(text[1]) > 32) {
        return nullptr;
    }
    const std::string rest = HeaderText(text.substr(1));
    for (const DataType& type : DataTypes) {
        if (rest.size() == type.Text.size() && FindNoCase(rest, type.Text) == 0) {
            return &type;
        }
    }
    return nullptr;
}

class SmcReader final : public RecordFormat {
public:
    RecordFormatId Id() const override { return RecordFormatId::Smc; }
    std::string_view Name() const override { return "SMC"; }
    std::string_view Key() const override { return "smc"; }

    bool Recognises(const std::vector<std::string>& lines) const override {
        if (lines.empty() || ParseDataType(lines[0]) == nullptr) {
            return false;
        }
        // The first integer line follows the text lines where the file is
        // that long; a file cut short inside its text is still this format.
        if (lines.size() <= IntegerLine) {
            return true;
        }
        DOUBLEVECTOR values;
        std::size_t next = 0;
        return !ReadFixedWidthValues(lines, IntegerLine, IntegerLayout.PerRow, IntegerLayout,
                                     values, next);
    }

    FormatReadOutcome Read(const std::string& name, const std::vector<std::string>& lines,
                           const FormatReadOptions& options) const override {
        FormatReadOutcome outcome;
        auto fail = [&](std::size_t index, const std::string& detail) {
            outcome.Warning = LineWarning(name, index + 1, detail);
            return std::move(outcome);
        };
        auto failFile = [&](const std::string& detail) {
            outcome.Warning = FileWarning(name, detail);
            return std::move(outcome);
        };

        if (lines.empty()) {
            return failFile("the file is empty");
        }
        const DataType* type = ParseDataType(lines[0]);
        if (type == nullptr) {
            return fail(0, "the first line does not name an SMC data type "
                           "(\"2 CORRECTED ACCELEROGRAM\"); found " +
                               QuoteFileText(HeaderText(lines[0])));
        }
        if (!type->Holds.empty()) {
            return failFile(name + " holds " + std::string(type->Holds) + ", not acceleration");
        }
        if (lines.size() < CommentLine) {
            return failFile("the file ends inside its header");
        }

        DOUBLEVECTOR ints;
        DOUBLEVECTOR reals;
        std::size_t next = 0;
        if (const std::optional<RowFailure> failure =
                ReadFixedWidthValues(lines, IntegerLine, IntegerCount, IntegerLayout, ints, next)) {
            return fail(failure->Line, "integer header: " + failure->Detail);
        }
        if (const std::optional<RowFailure> failure =
                ReadFixedWidthValues(lines, RealLine, RealCount, RealLayout, reals, next)) {
            return fail(failure->Line, "real header: " + failure->Detail);
        }
        const double intMissing = ints[IntegerMissingSlot];
        const double realMissing = reals[RealMissingSlot];

        // A rate equal to the "missing" value: the samples are (time, value)
        // pairs at uneven times.
        const double rate = reals[SampleRateSlot];
        if (rate == realMissing || std::fabs(rate) >= 1e30) {
            return failFile(name + " holds unevenly spaced (time, value) pairs digitised from an "
                                   "analog record, without a sampling rate: it is not read; "
                                   "resample it to a constant time step first");
        }
        if (!(rate > 0) || !std::isfinite(rate)) {
            return fail(RealLine, "the sampling rate (real header value " +
                                      std::to_string(SampleRateSlot + 1) + ") is " +
                                      FormatGeneral(rate) + " samples/s: it must be positive");
        }
        const double dt = 1.0 / rate;

        const double comments = ints[CommentCountSlot];
        const std::size_t commentCountLine = IntegerLine + CommentCountSlot / IntegerLayout.PerRow;
        std::size_t commentCount = 0;
        if (comments != intMissing && comments != -32768) {
            if (comments < 0 || comments != std::floor(comments) || comments > 1e6) {
                return fail(commentCountLine, "the count of comment lines (integer header value " +
                                                  std::to_string(CommentCountSlot + 1) + ") is " +
                                                  FormatGeneral(comments));
            }
            commentCount = static_cast<std::size_t>(comments);
        }
        for (std::size_t k = 0; k < commentCount; ++k) {
            const std::size_t j = CommentLine + k;
            if (j >= lines.size()) {
                return failFile("the file ends inside its comment lines");
            }
            const std::string_view comment = TrimLine(lines[j]);
            if (comment.empty() || comment.front() != '|') {
                return fail(j, "comment line " + std::to_string(k + 1) + " of " +
                                   std::to_string(commentCount) + " does not start with \"|\"");
            }
        }

        const double count = ints[SampleCountSlot];
        const std::size_t countLine = IntegerLine + SampleCountSlot / IntegerLayout.PerRow;
        if (count == intMissing || !(count > 0) || count != std::floor(count) || count > 1e9) {
            return fail(countLine, "the count of samples (integer header value " +
                                       std::to_string(SampleCountSlot + 1) + ") is " +
                                       FormatGeneral(count) + ": it must be positive");
        }
        const std::size_t npts = static_cast<std::size_t>(count);

        DOUBLEVECTOR values;
        const std::size_t first = CommentLine + commentCount;
        if (const std::optional<RowFailure> failure =
                ReadFixedWidthValues(lines, first, npts, DataLayout, values, next)) {
            return fail(failure->Line, failure->Detail);
        }
        if (const std::optional<RowFailure> failure =
                CheckShortLastRow(lines, first, npts, DataLayout)) {
            return fail(failure->Line, failure->Detail);
        }
        for (std::size_t j = next; j < lines.size(); ++j) {
            if (!TrimLine(lines[j]).empty()) {
                return fail(j, "more values than the header states (" + std::to_string(npts) + ")");
            }
        }

        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] = AccelerationToG(values[i], AccelerationUnits::CmPerS2, options.Gravity);
            if (!std::isfinite(values[i])) {
                return fail(first + i / DataLayout.PerRow, "Floating point overflow");
            }
        }

        RecordInfo info;
        info.Format = std::string(Name());
        info.SourceUnits = std::string(AccelerationUnitsText(AccelerationUnits::CmPerS2));
        ReadTextInfo(lines, info);
        const double orientation = ints[OrientationSlot];
        if (info.Component.empty() && orientation != intMissing && orientation >= 0 &&
            orientation <= 360 && orientation == std::floor(orientation)) {
            info.Component = std::to_string(static_cast<int>(orientation));
        }
        outcome.Records.push_back(MakeRecord(name, dt, values, std::move(info)));
        return outcome;
    }

private:
    // Station, component, event and stated peak from the text lines.
    static void ReadTextInfo(const std::vector<std::string>& lines, RecordInfo& info) {
        std::string station = HeaderText(lines[2]);
        if (station == "*") {
            station.clear();
        }
        // Line 6: "station = San Francisco, 1295 Shafter, F component=    360".
        const std::string_view line6 = lines[5];
        const std::size_t name = line6.find("station =");
        const std::size_t component = line6.find("component=");
        if (name != std::string_view::npos) {
            const std::size_t begin = name + 9;
            const std::size_t end =
                component == std::string_view::npos || component < begin ? line6.size() : component;
            const std::string stationName = HeaderText(line6.substr(begin, end - begin));
            if (!stationName.empty()) {
                station += (station.empty() ? "" : " ") + stationName;
            }
        }
        if (component != std::string_view::npos) {
            info.Component = HeaderText(line6.substr(component + 10));
        }
        info.Station = station;
        const std::string event = HeaderText(lines[3]);
        if (event != "*") {
            info.EventTime = event;
        }
        // Line 7: "epicentral dist =     89.0       pk     =    104.4", cm/s².
        const std::string_view line7 = lines[6];
        const std::size_t pk = line7.find("pk");
        if (pk != std::string_view::npos) {
            const std::size_t equals = line7.find('=', pk);
            if (equals != std::string_view::npos) {
                const std::string_view rest = TrimLine(line7.substr(equals + 1));
                const std::string_view number = rest.substr(0, rest.find_first_of(" \t"));
                if (ParseFieldNumber(number)) {
                    info.StatedPeak = std::string(number) + " cm/s²";
                }
            }
        }
    }
};

} // namespace

const RecordFormat& SmcFormat() {
    static const SmcReader format;
    return format;
}
