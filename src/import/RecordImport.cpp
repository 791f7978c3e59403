#include "import/RecordImport.h"

#include "record/Integration.h"

namespace {

// "a" or "an" before a format's name, read letter by letter (an ESM, an SMC,
// a K-NET).
std::string_view Article(std::string_view name) {
    const std::string_view vowelSounds = "AEFHILMNORSX";
    return !name.empty() && vowelSounds.find(name[0]) != std::string_view::npos ? "an" : "a";
}

} // namespace

std::string StandardFileAsFreeTypeWarning(const std::string& name, const RecordFormat& format,
                                          ImportFront front) {
    const std::string formatName(format.Name());
    const std::string article(Article(formatName));
    if (front == ImportFront::CommandLine) {
        return name + " is " + article + " " + formatName + " record: use --format " +
               std::string(format.Key()) + " (or auto).";
    }
    return name + " is " + article + " " + formatName + " record: choose \"" + formatName +
           "\" under \"File Format\".";
}

FileImport ImportRecordLines(const std::string& name, const std::vector<std::string>& lines,
                             const ImportRequest& request) {
    FileImport result;
    const RecordFormat* format = nullptr;
    if (request.Format) {
        format = &GetRecordFormat(*request.Format);
        if (format->Id() == RecordFormatId::FreeType) {
            // Reading one column of a standard file's multi-value rows would
            // make a wrong record without a word: refuse it, naming the format.
            if (const RecordFormat* standard = DetectStandardFormat(lines)) {
                result.Warning = StandardFileAsFreeTypeWarning(name, *standard, request.Front);
                return result;
            }
        }
    } else {
        format = DetectStandardFormat(lines);
        if (format == nullptr) {
            format = &GetRecordFormat(RecordFormatId::FreeType);
        }
    }
    FormatReadOutcome read = format->Read(name, lines, request.Options);
    if (read.Records.empty()) {
        result.Warning = read.Warning.empty() ? FileWarning(name, "the file holds no record")
                                              : std::move(read.Warning);
        return result;
    }
    for (std::unique_ptr<TimeHistory>& record : read.Records) {
        IntegrateRecord(*record, request.Options.Gravity, false);
        record->SetIntegrated(true);
    }
    result.Records = std::move(read.Records);
    return result;
}

FileImport ImportRecordFile(const std::string& path, const ImportRequest& request) {
    const std::string name = RecordNameFromPath(path);
    std::vector<std::string> lines;
    std::string detail;
    if (!LoadTextLines(path, lines, detail)) {
        FileImport result;
        result.Warning = "FILE : " + name + " , ERROR: " + detail;
        return result;
    }
    return ImportRecordLines(name, lines, request);
}
