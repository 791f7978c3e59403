#include "import/KnetReader.h"

#include "import/ValueRows.h"
#include "text/NumberText.h"

#include <cmath>
#include <optional>

// A K-NET or KiK-net ASCII file (NIED): 17 header lines, each a key in the
// first 18 characters and its value from column 19,
//   Origin Time       2018/01/24 19:51:00
//   ...
//   Station Code      AOM001
//   Sampling Freq(Hz) 100Hz
//   Duration Time(s)  102
//   Dir.              N-S
//   Scale Factor      3920(gal)/6182761
//   Max. Acc. (gal)   4.954
//   Memo.
// then the recorder's integer counts, 8 a row, the last row short. The counts
// carry a large offset: acceleration (gal) = (count - mean of the counts) x
// numerator / denominator of the scale factor, the convention of "Max. Acc.".

namespace {

constexpr std::size_t HeaderLines = 17;
constexpr std::size_t CountsPerRow = 8;
constexpr double MaxCount = 4503599627370496.0; // 2^52

// The keys of the header, in their order.
constexpr std::string_view Keys[HeaderLines] = {"Origin Time",
                                                "Lat.",
                                                "Long.",
                                                "Depth. (km)",
                                                "Mag.",
                                                "Station Code",
                                                "Station Lat.",
                                                "Station Long.",
                                                "Station Height(m)",
                                                "Record Time",
                                                "Sampling Freq(Hz)",
                                                "Duration Time(s)",
                                                "Dir.",
                                                "Scale Factor",
                                                "Max. Acc. (gal)",
                                                "Last Correction",
                                                "Memo."};

// The header lines the reader takes, 0-based.
enum HeaderLine : std::size_t {
    OriginTime = 0,
    StationCode = 5,
    SamplingFreq = 10,
    DurationTime = 11,
    Direction = 12,
    ScaleFactor = 13,
    MaxAcc = 14,
};

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

// The value of header line `k`: the text after its key, without blanks at the
// ends (published files start it at column 19; its column is not relied on).
std::string_view Value(const std::string& line, std::size_t k) {
    return TrimLine(std::string_view(line).substr(Keys[k].size()));
}

// The units glued to the header's numbers.
enum class GluedUnit { Hz, Gal };

// A number with its unit glued on or left out: "100Hz", "3920(gal)", "100".
std::optional<double> NumberBefore(std::string_view text, GluedUnit glued) {
    const std::string_view unit = glued == GluedUnit::Hz ? "Hz" : "(gal)";
    const std::string_view trimmed = TrimLine(text);
    if (trimmed.size() > unit.size()) {
        std::string tail(trimmed.substr(trimmed.size() - unit.size()));
        std::string lowerUnit(unit);
        for (std::string* s : {&tail, &lowerUnit}) {
            for (char& c : *s) {
                if (c >= 'A' && c <= 'Z') {
                    c = static_cast<char>(c - 'A' + 'a');
                }
            }
        }
        if (tail == lowerUnit) {
            return ParseFieldNumber(trimmed.substr(0, trimmed.size() - unit.size()));
        }
    }
    return ParseFieldNumber(trimmed);
}

struct Scale {
    double Numerator = 0;   // gal
    double Denominator = 0; // counts
};

// "3920(gal)/6182761"
std::optional<Scale> ReadScaleFactor(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<double> numerator = NumberBefore(text.substr(0, slash), GluedUnit::Gal);
    const std::optional<double> denominator = ParseFieldNumber(text.substr(slash + 1));
    if (!numerator || !denominator || !(*numerator > 0) || !(*denominator > 0) ||
        !std::isfinite(*numerator / *denominator)) {
        return std::nullopt;
    }
    return Scale{*numerator, *denominator};
}

// What the reader takes from the header to scale the counts.
struct KnetHeader {
    double Rate = 0; // Hz
    Scale Factor;
};

// The header's 17 keys in their places, the sampling rate and the scale
// factor; `warning` says what is wrong otherwise.
std::optional<KnetHeader> ReadHeader(const std::string& name, const std::vector<std::string>& lines,
                                     std::string& warning) {
    if (lines.size() < HeaderLines) {
        warning = FileWarning(
            name, "the file ends inside the 17 header lines of a K-NET / KiK-net record");
        return std::nullopt;
    }
    for (std::size_t k = 0; k < HeaderLines; ++k) {
        if (!StartsWith(lines[k], Keys[k])) {
            warning = LineWarning(
                name, k + 1, "the header line should start with \"" + std::string(Keys[k]) + "\"");
            return std::nullopt;
        }
    }
    const std::string_view rateText = Value(lines[SamplingFreq], SamplingFreq);
    const std::optional<double> rate = NumberBefore(rateText, GluedUnit::Hz);
    if (!rate || !(*rate > 0)) {
        warning = LineWarning(name, SamplingFreq + 1,
                              "the sampling rate " + QuoteFileText(rateText) +
                                  " is not a positive number of Hz");
        return std::nullopt;
    }
    const std::string_view scaleText = Value(lines[ScaleFactor], ScaleFactor);
    const std::optional<Scale> scale = ReadScaleFactor(scaleText);
    if (!scale) {
        warning = LineWarning(name, ScaleFactor + 1,
                              "the scale factor " + QuoteFileText(scaleText) +
                                  " is not <gal>(gal)/<counts> with both positive");
        return std::nullopt;
    }
    return KnetHeader{*rate, *scale};
}

// The counts after the header into `counts`, with the line of each row of
// them into `rowLines`; the warning, or empty when the rows are sound. Rows of
// 8 counts, the last one possibly short: a short row inside the data, or a
// longer row, is a damaged file, not a layout.
std::string ReadCounts(const std::string& name, const std::vector<std::string>& lines,
                       DOUBLEVECTOR& counts, std::vector<std::size_t>& rowLines) {
    counts.reserve((lines.size() - HeaderLines) * CountsPerRow);
    std::size_t shortRow = 0; // index of a short row met; 0: none yet
    std::size_t shortCount = 0;
    for (std::size_t j = HeaderLines; j < lines.size(); ++j) {
        const std::size_t before = counts.size();
        if (const std::optional<RowFailure> failure =
                ReadBlankSeparatedValues(lines, j, j + 1, counts)) {
            return LineWarning(name, failure->Line + 1, failure->Detail);
        }
        const std::size_t inRow = counts.size() - before;
        if (inRow == 0) {
            continue;
        }
        for (std::size_t k = before; k < counts.size(); ++k) {
            // A recorder's counts are whole numbers, far inside the doubles'
            // exact integers.
            if (counts[k] != std::floor(counts[k]) || std::fabs(counts[k]) > MaxCount) {
                return LineWarning(name, j + 1,
                                   "'" + FormatGeneral(counts[k]) + "' is not a whole count");
            }
        }
        rowLines.push_back(j);
        if (shortRow != 0 || inRow > CountsPerRow) {
            const std::size_t row = shortRow != 0 ? shortRow : j;
            const std::size_t held = shortRow != 0 ? shortCount : inRow;
            return LineWarning(name, row + 1,
                               "the row holds " + std::to_string(held) +
                                   " counts; every row but the last holds 8");
        }
        if (inRow < CountsPerRow) {
            shortRow = j;
            shortCount = inRow;
        }
    }
    if (counts.empty()) {
        return FileWarning(name, "the file holds no counts after its header");
    }
    return {};
}

// No count of samples in the header: the duration, whole seconds, tells a
// file that lost rows from one rounded down or up. The warning, or empty.
std::string CheckDuration(const std::string& name, const std::vector<std::string>& lines,
                          std::size_t count, double rate) {
    const std::string_view durationText = Value(lines[DurationTime], DurationTime);
    if (const std::optional<double> duration = ParseFieldNumber(durationText)) {
        const double expected = *duration * rate;
        if (std::fabs(static_cast<double>(count) - expected) > rate + 1) {
            // The duration as written, unless that is longer than a warning quotes.
            const std::string shown = durationText.size() <= QuotedFileTextLength
                                          ? std::string(durationText)
                                          : FormatGeneral(*duration);
            return FileWarning(name, "the file holds " + std::to_string(count) +
                                         " counts, but its duration of " + shown + " s at " +
                                         FormatGeneral(rate) + " Hz states about " +
                                         FormatGeneral(std::round(expected)));
        }
    }
    return {};
}

// The counts, less their mean, scaled to g in place. The warning, or empty.
std::string CountsToG(const std::string& name, DOUBLEVECTOR& counts,
                      const std::vector<std::size_t>& rowLines, const Scale& scale,
                      double gravity) {
    double sum = 0;
    for (const double count : counts) {
        sum += count;
    }
    const double mean = sum / static_cast<double>(counts.size());
    const double galPerCount = scale.Numerator / scale.Denominator;
    for (std::size_t k = 0; k < counts.size(); ++k) {
        counts[k] =
            AccelerationToG((counts[k] - mean) * galPerCount, AccelerationUnits::CmPerS2, gravity);
        if (!std::isfinite(counts[k])) {
            return LineWarning(name, rowLines[k / CountsPerRow] + 1, "Floating point overflow");
        }
    }
    return {};
}

class KnetReader final : public RecordFormat {
public:
    RecordFormatId Id() const override { return RecordFormatId::Knet; }
    std::string_view Name() const override { return "K-NET / KiK-net"; }
    std::string_view Key() const override { return "knet"; }

    // The first line's key and at least two more of the header's keys in
    // their places.
    bool Recognises(const std::vector<std::string>& lines) const override {
        if (lines.empty() || !StartsWith(lines[0], Keys[OriginTime])) {
            return false;
        }
        int found = 0;
        for (std::size_t k = 1; k < HeaderLines && k < lines.size(); ++k) {
            if (StartsWith(lines[k], Keys[k])) {
                ++found;
            }
        }
        return found >= 2;
    }

    FormatReadOutcome Read(const std::string& name, const std::vector<std::string>& lines,
                           const FormatReadOptions& options) const override {
        FormatReadOutcome outcome;
        const std::optional<KnetHeader> header = ReadHeader(name, lines, outcome.Warning);
        if (!header) {
            return outcome;
        }
        DOUBLEVECTOR counts;
        std::vector<std::size_t> rowLines; // the line of each row of counts
        outcome.Warning = ReadCounts(name, lines, counts, rowLines);
        if (outcome.Warning.empty()) {
            outcome.Warning = CheckDuration(name, lines, counts.size(), header->Rate);
        }
        if (outcome.Warning.empty()) {
            outcome.Warning = CountsToG(name, counts, rowLines, header->Factor, options.Gravity);
        }
        if (!outcome.Warning.empty()) {
            return outcome;
        }
        RecordInfo info;
        info.Format = std::string(Name());
        info.Station = std::string(Value(lines[StationCode], StationCode));
        info.Component = std::string(Value(lines[Direction], Direction));
        info.EventTime = std::string(Value(lines[OriginTime], OriginTime));
        info.SourceUnits = "counts";
        const std::string_view peak = Value(lines[MaxAcc], MaxAcc);
        if (!peak.empty()) {
            info.StatedPeak = std::string(peak) + " gal";
        }
        outcome.Records.push_back(MakeRecord(name, 1.0 / header->Rate, counts, std::move(info)));
        return outcome;
    }
};

} // namespace

const RecordFormat& KnetFormat() {
    static const KnetReader format;
    return format;
}
