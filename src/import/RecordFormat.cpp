#include "import/RecordFormat.h"

#include "import/CosmosReader.h"
#include "import/EsmReader.h"
#include "import/FreeTypeFormat.h"
#include "import/GeoNetReader.h"
#include "import/KnetReader.h"
#include "import/PeerNgaReader.h"
#include "import/SmcReader.h"
#include "text/NumberText.h"

#include <algorithm>

#include <cmath>

const std::vector<const RecordFormat*>& RecordFormats() {
    static const std::vector<const RecordFormat*> formats = {
        &FreeTypeFormat(), &PeerNgaFormat(), &KnetFormat(),  &CosmosFormat(),
        &EsmFormat(),      &SmcFormat(),     &GeoNetFormat()};
    return formats;
}

const RecordFormat& GetRecordFormat(RecordFormatId id) {
    for (const RecordFormat* format : RecordFormats()) {
        if (format->Id() == id) {
            return *format;
        }
    }
    return FreeTypeFormat();
}

const RecordFormat* FindRecordFormat(std::string_view key) {
    for (const RecordFormat* format : RecordFormats()) {
        if (format->Key() == key) {
            return format;
        }
    }
    return nullptr;
}

const RecordFormat* DetectStandardFormat(const std::vector<std::string>& lines) {
    for (const RecordFormat* format : RecordFormats()) {
        if (format->Id() != RecordFormatId::FreeType && format->Recognises(lines)) {
            return format;
        }
    }
    return nullptr;
}

double AccelerationToG(double value, AccelerationUnits units, double gravity) {
    switch (units) {
    case AccelerationUnits::G:
        return value;
    case AccelerationUnits::CmPerS2:
        return value / gravity;
    case AccelerationUnits::MmPerS2:
        return value / 10.0 / gravity;
    case AccelerationUnits::MPerS2:
        return value * 100.0 / gravity;
    }
    return value;
}

std::optional<RowFailure> ReadSamplesInG(const std::vector<std::string>& lines, std::size_t first,
                                         DOUBLEVECTOR& samples, std::size_t limit,
                                         AccelerationUnits units, double gravity) {
    for (std::size_t j = first; j < lines.size(); ++j) {
        const std::size_t before = samples.size();
        if (std::optional<RowFailure> failure =
                ReadBlankSeparatedValues(lines, j, j + 1, samples, limit)) {
            return failure;
        }
        for (std::size_t k = before; k < samples.size(); ++k) {
            samples[k] = AccelerationToG(samples[k], units, gravity);
            if (!std::isfinite(samples[k])) {
                return RowFailure{j, "Floating point overflow"};
            }
        }
    }
    return std::nullopt;
}

std::string_view AccelerationUnitsText(AccelerationUnits units) {
    switch (units) {
    case AccelerationUnits::G:
        return "g";
    case AccelerationUnits::CmPerS2:
        return "cm/s²";
    case AccelerationUnits::MmPerS2:
        return "mm/s²";
    case AccelerationUnits::MPerS2:
        return "m/s²";
    }
    return "g";
}

std::optional<AccelerationUnits> ParseAccelerationUnits(std::string_view text) {
    std::string unit;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) > 32 && c != '(' && c != ')') {
            unit += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    if (unit == "g") {
        return AccelerationUnits::G;
    }
    if (unit == "gal" || unit == "gals") {
        return AccelerationUnits::CmPerS2;
    }
    const std::size_t slash = unit.find('/');
    if (slash == std::string::npos) {
        return std::nullopt;
    }
    const std::string length = unit.substr(0, slash);
    const std::string perTime = unit.substr(slash + 1);
    const bool squaredSeconds = perTime == "s^2" || perTime == "s2" || perTime == "s**2" ||
                                perTime == "s/s" || perTime == "sec^2" || perTime == "sec2" ||
                                perTime == "sec**2" || perTime == "sec/sec" || perTime == "s²";
    if (!squaredSeconds) {
        return std::nullopt;
    }
    if (length == "cm") {
        return AccelerationUnits::CmPerS2;
    }
    if (length == "mm") {
        return AccelerationUnits::MmPerS2;
    }
    if (length == "m") {
        return AccelerationUnits::MPerS2;
    }
    return std::nullopt;
}

std::string ReadStatedSamplesInG(const std::string& name, const std::vector<std::string>& lines,
                                 std::size_t first, std::size_t stated, std::string_view countName,
                                 std::size_t valuesPerLine, AccelerationUnits units, double gravity,
                                 DOUBLEVECTOR& samples) {
    samples.reserve(std::min(stated, lines.size() * valuesPerLine));
    if (const std::optional<RowFailure> failure =
            ReadSamplesInG(lines, first, samples, stated, units, gravity)) {
        return LineWarning(name, failure->Line + 1, failure->Detail);
    }
    if (samples.size() != stated) {
        return FileWarning(name, "the file holds " + std::to_string(samples.size()) +
                                     " values, fewer than its header states (" +
                                     std::string(countName) + " = " + std::to_string(stated) + ")");
    }
    return {};
}

std::string LineWarning(const std::string& name, std::size_t line, const std::string& detail) {
    return "FILE: " + name + ". ERROR Line: " + std::to_string(line) + ". ERROR: " + detail;
}

std::string FileWarning(const std::string& name, const std::string& detail) {
    return "FILE: " + name + ", WARNING: " + detail;
}

std::string ComponentRecordName(const std::string& fileName, std::string_view label) {
    std::string clean;
    for (const char c : label) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            clean += c;
        }
    }
    const std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || dot == 0) {
        return fileName + "-" + clean;
    }
    return fileName.substr(0, dot) + "-" + clean + fileName.substr(dot);
}

std::string_view TrimLine(std::string_view line) {
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && static_cast<unsigned char>(line[begin]) <= 32) {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(line[end - 1]) <= 32) {
        --end;
    }
    return line.substr(begin, end - begin);
}

std::string HeaderText(std::string_view text) {
    const std::string_view trimmed = TrimLine(text);
    std::string result;
    result.reserve(trimmed.size());
    bool blank = false;
    for (const char c : trimmed) {
        if (static_cast<unsigned char>(c) <= 32) {
            blank = true;
            continue;
        }
        if (blank) {
            result += ' ';
            blank = false;
        }
        result += c;
    }
    return result;
}

std::size_t FindNoCase(std::string_view text, std::string_view word, std::size_t from) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    for (std::size_t i = from; i <= text.size() && word.size() <= text.size() - i; ++i) {
        std::size_t k = 0;
        while (k < word.size() && lower(text[i + k]) == lower(word[k])) {
            ++k;
        }
        if (k == word.size()) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::unique_ptr<TimeHistory> MakeRecord(std::string name, double dt, const DOUBLEVECTOR& samples,
                                        RecordInfo info) {
    auto record = std::make_unique<TimeHistory>(std::move(name), dt);
    record->GetAcceleration().reserve(samples.size());
    for (const double value : samples) {
        record->AddAcceleration(value);
    }
    record->SetInfo(std::move(info));
    return record;
}

std::string DescribeRecord(const TimeHistory& record) {
    const RecordInfo& info = record.GetInfo();
    const std::string separator = " · ";
    std::string text = info.Format.empty() ? std::string("Free Type") : info.Format;
    text += separator + FormatGeneral(record.GetDt()) + " s";
    text += separator + std::to_string(record.Count()) + " samples";
    if (!info.SourceUnits.empty()) {
        text += separator + info.SourceUnits;
    }
    std::string place = info.Station;
    if (!info.Component.empty()) {
        place += (place.empty() ? "comp " : ", comp ") + info.Component;
    }
    if (!place.empty()) {
        text += separator + place;
    }
    if (!info.EventTime.empty()) {
        text += separator + info.EventTime;
    }
    if (!info.StatedPeak.empty()) {
        text += separator + "stated peak " + info.StatedPeak;
    }
    return text;
}
