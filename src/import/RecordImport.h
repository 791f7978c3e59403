#pragma once

#include "import/RecordFormat.h"

#include <optional>
#include <string>
#include <vector>

// Which front end imports: it decides how a refusal says what to choose.
enum class ImportFront { Window, CommandLine };

// How the files of one import are to be read.
struct ImportRequest {
    // The format chosen; nullopt: detect it from each file's content (a file
    // in no standard format is read as Free Type).
    std::optional<RecordFormatId> Format;
    FormatReadOptions Options; // the Free Type layout, the gravity in force, the separator
    // How the refusal of a standard file read as Free Type tells what to choose:
    // the dialog's "File Format" group or vorsen-cli's --format option.
    ImportFront Front = ImportFront::Window;
};

// The records of one file, read and integrated (velocity and displacement,
// uncorrected) and marked integrated; or the warning the user sees, with no
// record.
struct FileImport {
    std::vector<std::unique_ptr<TimeHistory>> Records;
    std::string Warning;
};

// The import of one file, shared by the window and vorsen-cli.
FileImport ImportRecordFile(const std::string& path, const ImportRequest& request);
// The same for a file already split into lines; `name` is its file name.
FileImport ImportRecordLines(const std::string& name, const std::vector<std::string>& lines,
                             const ImportRequest& request);

// The refusal of a file in a standard format chosen as Free Type:
//   <name> is a PEER NGA record: choose "PEER NGA" under "File Format".
std::string StandardFileAsFreeTypeWarning(const std::string& name, const RecordFormat& format,
                                          ImportFront front);
