#include "import/EsmReader.h"

#include "import/ValueRows.h"
#include "text/NumberText.h"

#include <algorithm>
#include <cmath>
#include <optional>

// An ESM ASCII file (Engineering Strong-Motion database): header lines
// "KEY: value" (64 in the current layout, 31 in older files; many values are
// empty and some hold ':' themselves, as time stamps do), then one sample a
// line from the first line that is a plain number. What the reader takes:
//   SAMPLING_INTERVAL_S: 0.005000    NDATA: 19128    UNITS: cm/s^2
//   DATA_TYPE: ACCELERATION          PGA_CM/S^2: 0.300022
//   STATION_CODE, STREAM, EVENT_DATE_YYYYMMDD, EVENT_TIME_HHMMSS

namespace {

// Keys that only an ESM header holds; a file is one when its first line is a
// header line and at least two of them are there.
constexpr std::string_view SignatureKeys[] = {
    "EVENT_NAME", "EVENT_ID",  "EVENT_DATE_YYYYMMDD", "STATION_CODE", "SAMPLING_INTERVAL_S",
    "NDATA",      "DATA_TYPE", "PGA_CM/S^2",          "HEADER_FORMAT"};

// Header lines looked at by the signature test.
constexpr std::size_t SignatureLines = 100;

bool IsKeyCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '/' || c == '^' || c == '.' || c == '-' || c == '(' || c == ')';
}

// "KEY: value" -> KEY and value, without blanks at their ends; nullopt when
// the line is not a header line (no colon, or a key with other characters).
struct HeaderField {
    std::string_view Key;
    std::string_view Value;
};
std::optional<HeaderField> SplitHeaderLine(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view key = TrimLine(line.substr(0, colon));
    if (key.empty()) {
        return std::nullopt;
    }
    for (const char c : key) {
        if (!IsKeyCharacter(c)) {
            return std::nullopt;
        }
    }
    return HeaderField{key, TrimLine(line.substr(colon + 1))};
}

bool IsNumberLine(std::string_view line) {
    const std::string_view text = TrimLine(line);
    return !text.empty() && ParseFieldNumber(text).has_value();
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

struct Header {
    std::size_t DataStart = 0; // index of the first data line
    std::vector<std::size_t> FieldLines;
    std::vector<HeaderField> Fields;

    // The field `key` and its 1-based line; nullptr when the header lacks it.
    const HeaderField* Find(std::string_view key, std::size_t& line) const {
        for (std::size_t k = 0; k < Fields.size(); ++k) {
            if (Fields[k].Key == key) {
                line = FieldLines[k] + 1;
                return &Fields[k];
            }
        }
        return nullptr;
    }
    std::string_view Text(std::string_view key) const {
        std::size_t line = 0;
        const HeaderField* field = Find(key, line);
        return field != nullptr ? field->Value : std::string_view();
    }
};

std::string EventTime(std::string_view date, std::string_view time) {
    const auto digits = [](std::string_view text, std::size_t n) {
        return text.size() == n &&
               std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
    };
    if (digits(date, 8) && digits(time, 6)) {
        return std::string(date.substr(0, 4)) + "-" + std::string(date.substr(4, 2)) + "-" +
               std::string(date.substr(6, 2)) + " " + std::string(time.substr(0, 2)) + ":" +
               std::string(time.substr(2, 2)) + ":" + std::string(time.substr(4, 2));
    }
    std::string text(date);
    if (!time.empty()) {
        text += (text.empty() ? "" : " ") + std::string(time);
    }
    return text;
}

class EsmReader final : public RecordFormat {
public:
    RecordFormatId Id() const override { return RecordFormatId::Esm; }
    std::string_view Name() const override { return "ESM"; }
    std::string_view Key() const override { return "esm"; }

    bool Recognises(const std::vector<std::string>& lines) const override {
        if (lines.empty() || !SplitHeaderLine(lines[0])) {
            return false;
        }
        int found = 0;
        for (std::size_t j = 0; j < lines.size() && j < SignatureLines; ++j) {
            if (IsNumberLine(lines[j])) {
                break;
            }
            const std::optional<HeaderField> field = SplitHeaderLine(lines[j]);
            if (!field) {
                continue;
            }
            for (const std::string_view key : SignatureKeys) {
                if (field->Key == key) {
                    ++found;
                }
            }
        }
        return found >= 2;
    }

    FormatReadOutcome Read(const std::string& name, const std::vector<std::string>& lines,
                           const FormatReadOptions& options) const override {
        FormatReadOutcome outcome;
        Header header;
        std::size_t j = 0;
        for (; j < lines.size() && !IsNumberLine(lines[j]); ++j) {
            if (TrimLine(lines[j]).empty()) {
                continue;
            }
            const std::optional<HeaderField> field = SplitHeaderLine(lines[j]);
            if (!field) {
                outcome.Warning = LineWarning(name, j + 1, "the header line is not \"KEY: value\"");
                return outcome;
            }
            header.Fields.push_back(*field);
            header.FieldLines.push_back(j);
        }
        header.DataStart = j;
        if (header.Fields.empty()) {
            outcome.Warning = FileWarning(
                name, "the file has no ESM header (\"KEY: value\" lines before the data)");
            return outcome;
        }

        std::size_t line = 0;
        const HeaderField* dataType = header.Find("DATA_TYPE", line);
        if (dataType != nullptr) {
            const std::string type = Upper(dataType->Value);
            if (type == "VELOCITY") {
                outcome.Warning =
                    LineWarning(name, line, "the file holds velocity, not acceleration");
                return outcome;
            }
            if (type == "DISPLACEMENT") {
                outcome.Warning =
                    LineWarning(name, line, "the file holds displacement, not acceleration");
                return outcome;
            }
            if (type != "ACCELERATION") {
                outcome.Warning = LineWarning(name, line,
                                              "the file holds " + QuoteFileText(dataType->Value) +
                                                  ", not an acceleration time series");
                return outcome;
            }
        }
        const HeaderField* unitsField = header.Find("UNITS", line);
        if (unitsField == nullptr) {
            outcome.Warning = FileWarning(name, "the header gives no UNITS");
            return outcome;
        }
        const std::optional<AccelerationUnits> units = ParseAccelerationUnits(unitsField->Value);
        if (!units) {
            outcome.Warning = LineWarning(name, line,
                                          "unknown units " + QuoteFileText(unitsField->Value) +
                                              ": expected cm/s^2, m/s^2, mm/s^2 or g");
            return outcome;
        }
        const HeaderField* interval = header.Find("SAMPLING_INTERVAL_S", line);
        if (interval == nullptr || interval->Value.empty()) {
            outcome.Warning = interval == nullptr
                                  ? FileWarning(name, "the header gives no SAMPLING_INTERVAL_S")
                                  : LineWarning(name, line, "SAMPLING_INTERVAL_S is empty");
            return outcome;
        }
        const std::optional<double> dt = ParseFieldNumber(interval->Value);
        if (!dt || !(*dt > 0)) {
            outcome.Warning =
                LineWarning(name, line,
                            "the sampling interval " + QuoteFileText(interval->Value) +
                                " is not a positive number of seconds");
            return outcome;
        }
        const HeaderField* ndataField = header.Find("NDATA", line);
        if (ndataField == nullptr || ndataField->Value.empty()) {
            outcome.Warning = ndataField == nullptr ? FileWarning(name, "the header gives no NDATA")
                                                    : LineWarning(name, line, "NDATA is empty");
            return outcome;
        }
        const std::optional<double> ndata = ParseFieldNumber(ndataField->Value);
        if (!ndata || !(*ndata >= 1) || *ndata != std::floor(*ndata) || *ndata > 1e9) {
            outcome.Warning = LineWarning(name, line,
                                          "NDATA " + QuoteFileText(ndataField->Value) +
                                              " is not a positive whole number of samples");
            return outcome;
        }
        const auto stated = static_cast<std::size_t>(*ndata);

        DOUBLEVECTOR values;
        outcome.Warning = ReadStatedSamplesInG(name, lines, header.DataStart, stated, "NDATA", 1,
                                               *units, options.Gravity, values);
        if (!outcome.Warning.empty()) {
            return outcome;
        }
        RecordInfo info;
        info.Format = std::string(Name());
        info.Station = std::string(header.Text("STATION_CODE"));
        info.Component = std::string(header.Text("STREAM"));
        info.EventTime =
            EventTime(header.Text("EVENT_DATE_YYYYMMDD"), header.Text("EVENT_TIME_HHMMSS"));
        info.SourceUnits = std::string(AccelerationUnitsText(*units));
        const std::string_view pga = header.Text("PGA_CM/S^2");
        if (!pga.empty()) {
            info.StatedPeak = std::string(pga) + " cm/s²";
        }
        outcome.Records.push_back(MakeRecord(name, *dt, values, std::move(info)));
        return outcome;
    }
};

} // namespace

const RecordFormat& EsmFormat() {
    static const EsmReader format;
    return format;
}
