#include "import/FreeTypeFormat.h"

namespace {

class FreeTypeReader final : public RecordFormat {
public:
    RecordFormatId Id() const override { return RecordFormatId::FreeType; }
    std::string_view Name() const override { return "Free Type"; }
    std::string_view Key() const override { return "free"; }
    bool Recognises(const std::vector<std::string>&) const override { return false; }
    FormatReadOutcome Read(const std::string& name, const std::vector<std::string>& lines,
                           const FormatReadOptions& options) const override {
        ReadOutcome read = ReadRecordLines(name, lines, options.FreeType, options.DecimalSeparator);
        FormatReadOutcome outcome;
        if (!read.Record) {
            outcome.Warning = std::move(read.Warning);
            return outcome;
        }
        RecordInfo info;
        info.Format = std::string(Name());
        info.SourceUnits = "g";
        read.Record->SetInfo(std::move(info));
        outcome.Records.push_back(std::move(read.Record));
        return outcome;
    }
};

} // namespace

const RecordFormat& FreeTypeFormat() {
    static const FreeTypeReader format;
    return format;
}
