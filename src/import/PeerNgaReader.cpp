#include "import/PeerNgaReader.h"

#include "import/ValueRows.h"
#include "text/NumberText.h"

#include <algorithm>
#include <cmath>
#include <optional>

// A PEER NGA file (.AT2; .VT2 and .DT2 hold velocity and displacement):
//   1  title (free text)
//   2  event, date, station, component: "14383980, 7/29/2008, Anaheim - ..., 90"
//   3  quantity and units: "ACCELERATION TIME SERIES IN UNITS OF G"
//   4  count and time step: "NPTS=  16396, DT=   0.005 SEC", or in older files
//      the numbers first: "3930 0.00500 NPTS, DT"
// then the samples, blank-separated, any count a row (5 and 8 are met).

namespace {

constexpr std::size_t HeaderLines = 4;

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Blanks, '=', ':', ';' and ',' part the words of a header line; a comma
// between two digits ("0,01") stays in its word, so that a number written with
// a decimal comma is refused rather than read as two.
bool IsSeparator(std::string_view line, std::size_t i) {
    const char c = line[i];
    if (c == ',') {
        return !(i > 0 && i + 1 < line.size() && IsDigit(line[i - 1]) && IsDigit(line[i + 1]));
    }
    return static_cast<unsigned char>(c) <= 32 || c == '=' || c == ':' || c == ';';
}

std::vector<std::string> Tokens(std::string_view line) {
    std::vector<std::string> tokens;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && IsSeparator(line, pos)) {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < line.size() && !IsSeparator(line, pos)) {
            ++pos;
        }
        if (pos > start) {
            tokens.push_back(Upper(line.substr(start, pos - start)));
        }
    }
    return tokens;
}

// A number token of the count line; a time step may carry its unit glued on
// ("0.005SEC").
std::optional<double> TokenNumber(std::string_view token) {
    if (std::optional<double> value = ParseFieldNumber(token)) {
        return value;
    }
    for (const std::string_view unit : {"SEC", "S"}) {
        if (token.size() > unit.size() && token.substr(token.size() - unit.size()) == unit) {
            return ParseFieldNumber(token.substr(0, token.size() - unit.size()));
        }
    }
    return std::nullopt;
}

bool HasToken(const std::vector<std::string>& tokens, std::string_view word) {
    return std::ranges::any_of(tokens, [word](const std::string& token) { return token == word; });
}

bool Mentions(std::string_view line, std::string_view word) {
    return Upper(line).find(word) != std::string::npos;
}

// Line 3 says what the file holds.
bool IsQuantityLine(std::string_view line) {
    return Mentions(line, "UNITS") || Mentions(line, "ACCELERATION") ||
           Mentions(line, "VELOCITY") || Mentions(line, "DISPLACEMENT") ||
           Mentions(line, "TIME SERIES") || Mentions(line, "TIME HISTORY");
}

struct CountLine {
    std::optional<double> Npts;
    std::optional<double> Dt;
    std::string NptsText; // what follows NPTS when it is not a number
    std::string DtText;   // what follows DT when it is not a number
};

// NPTS and DT by keyword, in either order: the number after each keyword, or,
// when no keyword is followed by a number, the numbers before the keywords in
// the keywords' order.
CountLine ReadCountLine(std::string_view line) {
    const std::vector<std::string> tokens = Tokens(line);
    CountLine count;
    const auto isKeyword = [](const std::string& token) {
        return token == "NPTS" || token == "DT" || token == "SEC";
    };
    for (std::size_t k = 0; k + 1 < tokens.size(); ++k) {
        const bool npts = tokens[k] == "NPTS";
        if ((!npts && tokens[k] != "DT") || isKeyword(tokens[k + 1])) {
            continue;
        }
        std::optional<double>& value = npts ? count.Npts : count.Dt;
        std::string& text = npts ? count.NptsText : count.DtText;
        if (!value && text.empty()) {
            value = TokenNumber(tokens[k + 1]);
            if (!value) {
                text = tokens[k + 1];
            }
        }
    }
    if (count.Npts || count.Dt || !count.NptsText.empty() || !count.DtText.empty()) {
        return count;
    }
    std::vector<double> numbers;
    std::size_t k = 0;
    for (; k < tokens.size(); ++k) {
        const std::optional<double> value = TokenNumber(tokens[k]);
        if (!value) {
            break;
        }
        numbers.push_back(*value);
    }
    std::size_t next = 0;
    for (; k < tokens.size() && next < numbers.size(); ++k) {
        if (tokens[k] == "NPTS") {
            count.Npts = numbers[next++];
        } else if (tokens[k] == "DT") {
            count.Dt = numbers[next++];
        }
    }
    return count;
}

enum class Quantity { Acceleration, Velocity, Displacement };

Quantity ReadQuantity(std::string_view line) {
    if (Mentions(line, "ACCELERATION")) {
        return Quantity::Acceleration;
    }
    if (Mentions(line, "VELOCITY")) {
        return Quantity::Velocity;
    }
    if (Mentions(line, "DISPLACEMENT")) {
        return Quantity::Displacement;
    }
    return Quantity::Acceleration;
}

// A word of the units line without the parentheses and the full stop around
// it: "(G)" and "G." are "G".
std::string UnitWord(std::string word) {
    while (!word.empty() && (word.back() == '.' || word.back() == ')')) {
        word.pop_back();
    }
    if (!word.empty() && word.front() == '(') {
        word.erase(0, 1);
    }
    return word;
}

// The units line 3 names: the word after "UNITS" ("UNITS OF G", "units are
// (g)", "UNITS: CM/S/S"), else any word that is an acceleration unit ("IN G").
// nullopt with `unknown` set when the line names units that are not an
// acceleration's; g when it names none (the samples of a PEER file are in g).
std::optional<AccelerationUnits> ReadUnits(std::string_view line, std::string& unknown) {
    const std::string upper = Upper(line);
    const std::size_t units = upper.find("UNITS");
    if (units != std::string::npos) {
        std::vector<std::string> words = Tokens(upper.substr(units + 5));
        std::size_t k = 0;
        while (k < words.size() &&
               (words[k] == "OF" || words[k] == "ARE" || words[k] == "IN" || words[k] == "(")) {
            ++k;
        }
        if (k < words.size()) {
            const std::string word = UnitWord(words[k]);
            if (std::optional<AccelerationUnits> parsed = ParseAccelerationUnits(word)) {
                return parsed;
            }
            unknown = word.empty() ? words[k] : word;
            return std::nullopt;
        }
        unknown = "";
        return std::nullopt;
    }
    for (const std::string& token : Tokens(upper)) {
        if (std::optional<AccelerationUnits> parsed = ParseAccelerationUnits(UnitWord(token))) {
            return parsed;
        }
    }
    return AccelerationUnits::G;
}

bool IsDateField(std::string_view field) {
    // "7/29/2008", "01/17/94 1231": digits, '/', digits, '/', digits.
    for (std::size_t i = 0; i < field.size(); ++i) {
        std::size_t j = i;
        int groups = 0;
        while (groups < 3) {
            const std::size_t start = j;
            while (j < field.size() && field[j] >= '0' && field[j] <= '9') {
                ++j;
            }
            if (j == start) {
                break;
            }
            ++groups;
            if (groups < 3) {
                if (j >= field.size() || field[j] != '/') {
                    break;
                }
                ++j;
            }
        }
        if (groups == 3) {
            return true;
        }
    }
    return false;
}

// The date and what follows it in its field: "7/29/2008", "01/17/94 1231".
std::string DateText(std::string_view field) {
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] >= '0' && field[i] <= '9' && (i == 0 || field[i - 1] == ' ') &&
            IsDateField(field.substr(i, field.find(' ', i) - i))) {
            return std::string(TrimLine(field.substr(i)));
        }
    }
    return std::string(TrimLine(field));
}

// Line 2 as NGA files write it: "<event>, <date>, <station>, <component>"
// ("Loma Prieta, 10/18/1989, Gilroy - Gavilan Coll., 67"; older files
// "NORTHRIDGE 01/17/94 1231, ARLETA, 360"). Free text (some files put a
// description there) gives nothing.
void ReadEventLine(std::string_view line, RecordInfo& info) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            comma = line.size();
        }
        fields.push_back(TrimLine(line.substr(start, comma - start)));
        start = comma + 1;
    }
    if (fields.size() < 3) {
        return;
    }
    const std::size_t n = fields.size();
    for (std::size_t k = 0; k + 2 < n; ++k) {
        if (IsDateField(fields[k])) {
            const std::string_view component = fields[n - 1];
            if (component.empty() || component.size() > 16 || fields[n - 2].empty()) {
                return;
            }
            info.EventTime = DateText(fields[k]);
            info.Station = std::string(fields[n - 2]);
            info.Component = std::string(component);
            return;
        }
    }
}

class PeerNgaReader final : public RecordFormat {
public:
    RecordFormatId Id() const override { return RecordFormatId::PeerNga; }
    std::string_view Name() const override { return "PEER NGA"; }
    std::string_view Key() const override { return "peer"; }

    bool Recognises(const std::vector<std::string>& lines) const override {
        if (lines.size() < HeaderLines) {
            return false;
        }
        const std::vector<std::string> count = Tokens(lines[3]);
        return HasToken(count, "NPTS") && HasToken(count, "DT") && IsQuantityLine(lines[2]);
    }

    FormatReadOutcome Read(const std::string& name, const std::vector<std::string>& lines,
                           const FormatReadOptions& options) const override {
        FormatReadOutcome outcome;
        if (lines.size() < HeaderLines) {
            outcome.Warning =
                FileWarning(name, "the file ends inside the 4 header lines of a PEER NGA record");
            return outcome;
        }
        switch (ReadQuantity(lines[2])) {
        case Quantity::Velocity:
            outcome.Warning = LineWarning(name, 3, "the file holds velocity, not acceleration");
            return outcome;
        case Quantity::Displacement:
            outcome.Warning = LineWarning(name, 3, "the file holds displacement, not acceleration");
            return outcome;
        case Quantity::Acceleration:
            break;
        }
        std::string unknownUnits;
        const std::optional<AccelerationUnits> units = ReadUnits(lines[2], unknownUnits);
        if (!units) {
            outcome.Warning = LineWarning(name, 3,
                                          unknownUnits.empty()
                                              ? std::string("the header names no units after UNITS")
                                              : "unknown units " + QuoteFileText(unknownUnits) +
                                                    ": expected G, cm/s², mm/s² or m/s²");
            return outcome;
        }
        const CountLine count = ReadCountLine(lines[3]);
        if (!count.NptsText.empty() || !count.DtText.empty()) {
            outcome.Warning =
                LineWarning(name, 4,
                            !count.NptsText.empty()
                                ? "NPTS " + QuoteFileText(count.NptsText) + " is not a number"
                                : "DT " + QuoteFileText(count.DtText) + " is not a number");
            return outcome;
        }
        if (!count.Npts) {
            outcome.Warning = LineWarning(name, 4, "the header gives no number of points (NPTS=)");
            return outcome;
        }
        if (!count.Dt) {
            outcome.Warning = LineWarning(name, 4, "the header gives no time step (DT=)");
            return outcome;
        }
        const double npts = *count.Npts;
        if (!(npts >= 1) || npts != std::floor(npts) || npts > 1e9) {
            outcome.Warning = LineWarning(name, 4,
                                          "NPTS = " + FormatGeneral(npts) +
                                              " is not a positive whole number of points");
            return outcome;
        }
        const double dt = *count.Dt;
        if (!(dt > 0)) {
            outcome.Warning = LineWarning(
                name, 4, "the time step DT = " + FormatGeneral(dt) + " s is not positive");
            return outcome;
        }
        const auto stated = static_cast<std::size_t>(npts);
        DOUBLEVECTOR values;
        outcome.Warning = ReadStatedSamplesInG(name, lines, HeaderLines, stated, "NPTS", 10, *units,
                                               options.Gravity, values);
        if (!outcome.Warning.empty()) {
            return outcome;
        }
        RecordInfo info;
        info.Format = std::string(Name());
        info.SourceUnits = std::string(AccelerationUnitsText(*units));
        ReadEventLine(lines[1], info);
        outcome.Records.push_back(MakeRecord(name, dt, values, std::move(info)));
        return outcome;
    }
};

} // namespace

const RecordFormat& PeerNgaFormat() {
    static const PeerNgaReader format;
    return format;
}
